#include "service/http_request.h"

#include <curl/curl.h>

#include <algorithm>
#include <mutex>

#include "platform/text.h"

namespace dudivizo::service {

using platform::EqualsIgnoreAsciiCase;
using platform::FindIgnoreAsciiCase;
using platform::Split;
using platform::Trim;

namespace http_detail {

const char* MethodName(int method) {
  static const char* const kNames[] = {"GET",     "POST",   "HEAD",  "PUT",
                                       "OPTIONS", "DELETE", "TRACE", "CONNECT"};
  return method >= 0 && method <= 7 ? kNames[method] : kNames[0];
}

Timeouts TimeoutsFor(int timeoutSeconds) {
  if (timeoutSeconds == -1) {
    // The request object's own defaults: no resolve limit, 60 s to connect,
    // 30 s for each send and each receive.
    return {0, 60'000, 30'000, 30'000};
  }
  int ms = 15'000;
  if (timeoutSeconds > 0) ms = timeoutSeconds > 2'000'000 ? 2'000'000'000 : timeoutSeconds * 1000;
  return {ms, ms, ms, ms};
}

std::string CompleteHeaders(std::string headers, const std::string& url, int method) {
  auto lacks = [&](std::string_view name) {
    return FindIgnoreAsciiCase(headers, name) == std::string::npos;
  };
  if (lacks("Accept:")) headers += "\r\nAccept: */*";
  if (lacks("Referer:")) headers += "\r\nReferer: " + url;
  if (lacks("Accept-Language:")) headers += "\r\nAccept-Language: zh-cn";
  if (lacks("User-Agent:"))
    headers += "\r\nUser-Agent: Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)";
  if (method == 1 && lacks("Content-Type:"))
    headers += "\r\nContent-Type: application/x-www-form-urlencoded";
  return headers;
}

std::string NormaliseHeaderNames(std::string_view headers) {
  auto capitalise = [](std::string& part) {
    if (!part.empty() && part[0] >= 'a' && part[0] <= 'z')
      part[0] = static_cast<char>(part[0] - 32);
  };
  std::string out;
  bool first = true;
  for (const std::string& line : Split(headers, "\r\n")) {
    size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    std::vector<std::string> parts = Split(line.substr(0, colon), "-");
    std::string name;
    for (size_t i = 0; i < parts.size(); ++i) {
      capitalise(parts[i]);
      if (i > 0) name += '-';
      name += parts[i];
    }
    if (!first) out += "\r\n";
    first = false;
    out += name;
    out.append(line, colon);
  }
  return out;
}

std::vector<std::pair<std::string, std::string>> ExtraHeaderLines(std::string_view headers) {
  std::vector<std::pair<std::string, std::string>> lines;
  auto add = [&](std::string_view line) {
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) return;
    std::string_view name = Trim(line.substr(0, colon));
    if (name.empty()) return;
    lines.emplace_back(name, Trim(line.substr(colon + 1)));
  };
  if (headers.find("\r\n") == std::string_view::npos) {
    add(headers);
    return lines;
  }
  for (const std::string& line : Split(headers, "\r\n")) {
    if (line.empty()) continue;
    size_t colon = line.find(':');
    if (colon != std::string::npos &&
        Trim(std::string_view(line).substr(0, colon)) == "Connection" &&
        Trim(std::string_view(line).substr(colon + 1)) == "keep-alive") {
      continue;
    }
    add(line);
  }
  return lines;
}

std::string CollectCookies(std::string_view responseHeaders) {
  static constexpr std::string_view kPrefix = "Set-Cookie:";
  std::string cookies;
  for (const std::string& line : Split(responseHeaders, "\r\n")) {
    size_t sep = line.find(": ");
    if (sep == std::string::npos || std::string_view(line).substr(0, sep) != "Set-Cookie") continue;
    std::string cookie;
    if (line.find(';') == std::string::npos) {
      cookie = Trim(platform::ReplaceAll(line, kPrefix, ""));
    } else {
      size_t start = line.find(kPrefix) + kPrefix.size();
      size_t end = line.find(';', start);
      cookie = Trim(std::string_view(line).substr(start, end - start));
    }
    cookies += cookie + "; ";
  }
  if (cookies.size() >= 2) cookies.resize(cookies.size() - 2);
  return cookies;
}

namespace {

// Splits a cookie list at "; " after trimming it, leaving out empty items.
std::vector<std::string> CookieItems(std::string_view cookies) {
  std::string text(Trim(cookies));
  if (!text.empty() && text.back() == ';') text += ' ';
  std::vector<std::string> items;
  for (std::string& item : Split(text, "; ")) {
    if (!item.empty()) items.push_back(std::move(item));
  }
  return items;
}

std::string_view CookieName(std::string_view item) { return Trim(item.substr(0, item.find('='))); }

}  // namespace

std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies) {
  std::vector<std::string> merged = CookieItems(newCookies);
  for (std::string& item : CookieItems(oldCookies)) {
    bool known = std::any_of(merged.begin(), merged.end(), [&](const std::string& n) {
      return CookieName(n) == CookieName(item);
    });
    if (!known) merged.push_back(std::move(item));
  }
  std::vector<std::string> kept;
  for (std::string& item : merged) {
    bool deleted = item.size() >= 8 && item.compare(item.size() - 8, 8, "=deleted") == 0;
    if (deleted || std::find(kept.begin(), kept.end(), item) != kept.end()) continue;
    kept.push_back(std::move(item));
  }
  std::string out;
  for (size_t i = 0; i < kept.size(); ++i) {
    if (i > 0) out += "; ";
    out += kept[i];
  }
  return out;
}

std::string Base64(std::string_view bytes) {
  static const char kAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t i = 0;
  for (; i + 2 < bytes.size(); i += 3) {
    uint32_t n = static_cast<unsigned char>(bytes[i]) << 16 |
                 static_cast<unsigned char>(bytes[i + 1]) << 8 |
                 static_cast<unsigned char>(bytes[i + 2]);
    out += kAlphabet[n >> 18];
    out += kAlphabet[(n >> 12) & 63];
    out += kAlphabet[(n >> 6) & 63];
    out += kAlphabet[n & 63];
  }
  if (i < bytes.size()) {
    uint32_t n = static_cast<unsigned char>(bytes[i]) << 16;
    if (i + 1 < bytes.size()) n |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    out += kAlphabet[n >> 18];
    out += kAlphabet[(n >> 12) & 63];
    out += i + 1 < bytes.size() ? kAlphabet[(n >> 6) & 63] : '=';
    out += '=';
  }
  return out;
}

}  // namespace http_detail

namespace {

using namespace http_detail;

// Request headers in the order they were set; setting a header again
// replaces its value in place.
class HeaderList {
 public:
  void Set(std::string name, std::string value) {
    for (auto& [n, v] : entries_) {
      if (EqualsIgnoreAsciiCase(n, name)) {
        v = std::move(value);
        return;
      }
    }
    entries_.emplace_back(std::move(name), std::move(value));
  }
  bool Has(std::string_view name) const {
    return std::any_of(entries_.begin(), entries_.end(),
                       [&](const auto& e) { return EqualsIgnoreAsciiCase(e.first, name); });
  }
  // A curl header list; an empty value is sent as an empty header rather
  // than removing one of curl's own.
  curl_slist* ToCurl() const {
    curl_slist* list = nullptr;
    for (const auto& [name, value] : entries_) {
      std::string line = value.empty() ? name + ";" : name + ": " + value;
      list = curl_slist_append(list, line.c_str());
    }
    return list;
  }

 private:
  std::vector<std::pair<std::string, std::string>> entries_;
};

struct Transfer {
  std::string body;
  std::string headers;  // header lines of the latest response
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  static_cast<Transfer*>(user)->body.append(data, size * count);
  return size * count;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  std::string_view line(data, size * count);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (line.substr(0, 5) == "HTTP/") {
    transfer->headers.clear();  // a new response begins (redirect or interim)
  } else if (!line.empty()) {
    transfer->headers.append(line).append("\r\n");
  }
  return size * count;
}

void ApplyTimeouts(CURL* curl, const Timeouts& t) {
  long connect = t.connectMs;
  if (t.resolveMs > 0 && t.connectMs > 0) connect = static_cast<long>(t.resolveMs) + t.connectMs;
  curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT_MS, connect);
  // Send and receive time-outs limit each wait for data, not the whole
  // transfer: the transfer fails once no byte moved for that long.
  int idleMs = std::max(t.sendMs, t.receiveMs);
  if (idleMs > 0) {
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, static_cast<long>((idleMs + 999) / 1000));
  }
}

void ApplyMethod(CURL* curl, int method, const std::string& body) {
  const char* name = MethodName(method);
  if (method == 2) {
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
  } else if (method == 1 || !body.empty()) {
    curl_easy_setopt(curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body.size()));
    curl_easy_setopt(curl, CURLOPT_POSTFIELDS, body.data());
    if (method != 1) curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, name);
  } else if (method != 0 && method >= 0 && method <= 7) {
    curl_easy_setopt(curl, CURLOPT_CUSTOMREQUEST, name);
  } else {
    curl_easy_setopt(curl, CURLOPT_HTTPGET, 1L);
  }
}

// The cookie text with every "Cookie:" (any letter case) removed.
std::string WithoutCookiePrefixes(std::string cookies) {
  for (size_t at; (at = FindIgnoreAsciiCase(cookies, "Cookie:")) != std::string::npos;) {
    cookies.erase(at, 7);
  }
  return cookies;
}

// The header list of the request, in the order the headers are set.
HeaderList BuildHeaders(const std::string& url, const HttpOptions& o) {
  HeaderList list;
  if (!o.proxy.empty() && !o.proxyUser.empty() && o.credentialFlags == 1) {
    list.Set("Proxy-Authorization", "Basic " + Base64(o.proxyUser + ":" + o.proxyPassword));
  }
  if (o.cookies) {
    // An empty value removes the header instead of sending it empty.
    std::string cookie = WithoutCookiePrefixes(*o.cookies);
    if (!cookie.empty()) list.Set("Cookie", cookie);
  }
  std::string headers = o.headers;
  if (o.completeHeaders) headers = CompleteHeaders(headers, url, o.method);
  if (o.normaliseHeaderNames) headers = NormaliseHeaderNames(headers);
  for (auto& [name, value] : ExtraHeaderLines(headers)) list.Set(name, value);
  return list;
}

curl_slist* SuppressCurlDefaults(curl_slist* list, const HeaderList& headers) {
  // curl adds headers of its own that the request did not ask for.
  if (!headers.Has("Accept")) list = curl_slist_append(list, "Accept:");
  if (!headers.Has("Content-Type")) list = curl_slist_append(list, "Content-Type:");
  return curl_slist_append(list, "Expect:");
}

}  // namespace

std::string HttpRequest(const std::string& url, const HttpOptions& o, HttpOutputs* outputs) {
  static std::once_flag initialised;
  std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });

  CURL* curl = o.requestObject ? o.requestObject : curl_easy_init();
  if (curl == nullptr) return {};
  if (o.requestObject) curl_easy_reset(curl);

  Transfer transfer;
  const std::string& body = o.postBytes.empty() ? o.postText : o.postBytes;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, OnBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_HEADERFUNCTION, OnHeader);
  curl_easy_setopt(curl, CURLOPT_HEADERDATA, &transfer);
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, o.noRedirect ? 0L : 1L);
  curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 10L);
  // Any server certificate is accepted, as the service's clients always did.
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
  // No proxy unless one is given: the proxy variables of the environment are ignored.
  curl_easy_setopt(curl, CURLOPT_PROXY, o.proxy.c_str());
  if (!o.proxy.empty() && !o.proxyUser.empty()) {
    if (o.credentialFlags == 1) {
      curl_easy_setopt(curl, CURLOPT_PROXYUSERNAME, o.proxyUser.c_str());
      curl_easy_setopt(curl, CURLOPT_PROXYPASSWORD, o.proxyPassword.c_str());
    } else {
      curl_easy_setopt(curl, CURLOPT_USERNAME, o.proxyUser.c_str());
      curl_easy_setopt(curl, CURLOPT_PASSWORD, o.proxyPassword.c_str());
    }
  }
  ApplyTimeouts(curl, TimeoutsFor(o.timeoutSeconds));
  ApplyMethod(curl, o.method, body);

  HeaderList headers = BuildHeaders(url, o);
  curl_slist* list = SuppressCurlDefaults(headers.ToCurl(), headers);
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, list);

  CURLcode rc = curl_easy_perform(curl);
  long status = 0;
  if (rc == CURLE_OK) {
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
  } else {
    transfer.body.clear();
    transfer.headers.clear();
  }
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, nullptr);
  curl_slist_free_all(list);
  if (!o.requestObject) curl_easy_cleanup(curl);

  if (outputs) {
    outputs->responseHeaders = transfer.headers;
    outputs->status = static_cast<int>(status);
    outputs->returnedCookies = CollectCookies(transfer.headers);
    if (o.mergeCookies && o.cookies) {
      outputs->returnedCookies =
          MergeCookies(WithoutCookiePrefixes(*o.cookies), outputs->returnedCookies);
    }
  }
  return transfer.body;
}

}  // namespace dudivizo::service
