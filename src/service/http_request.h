#pragma once
// HttpRequest: the program's one routine for web requests. It performs one
// synchronous request and returns the response body. It never throws and
// shows nothing: a failed request gives an empty body and a status other
// than 200 (0 when there was no response). Safe to call from several
// threads at once; each call uses its own transfer.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

typedef void CURL;  // libcurl's easy handle, as curl.h declares it

namespace dudivizo::service {

// Every parameter except the URL, with its default.
struct HttpOptions {
  int method = 0;        // 0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT
  std::string postText;  // body, when postBytes is empty
  std::optional<std::string> cookies;  // the Cookie header; given (even empty) enables the merge
  std::string headers;                 // extra "Name: value" lines separated by CR LF
  bool noRedirect = false;
  std::string postBytes;   // binary body, sent instead of postText when not empty
  std::string proxy;       // "host:port"; empty: no proxy
  int timeoutSeconds = 0;  // > 0: seconds per phase; -1: the stack's own; else 15 s
  std::string proxyUser;
  std::string proxyPassword;
  int credentialFlags = 1;        // 1: credentials for the proxy, plus a Basic Proxy-Authorization
  CURL* requestObject = nullptr;  // an existing handle to use (it stays the caller's)
  bool mergeCookies = true;
  bool completeHeaders = true;
  bool normaliseHeaderNames = true;
};

struct HttpOutputs {
  std::string returnedCookies;
  std::string responseHeaders;  // the final response's header lines, each ending in CR LF
  int status = 0;
};

// Performs the request; `outputs` (optional) receives cookies, headers and status.
std::string HttpRequest(const std::string& url, const HttpOptions& options = {},
                        HttpOutputs* outputs = nullptr);

// The building blocks of HttpRequest, exposed for their own tests.
namespace http_detail {

// The method name for a method code; codes out of range give "GET".
const char* MethodName(int method);

// Time-outs of the four phases in milliseconds; 0 means no limit.
struct Timeouts {
  int resolveMs, connectMs, sendMs, receiveMs;
  bool operator==(const Timeouts&) const = default;
};
Timeouts TimeoutsFor(int timeoutSeconds);

// Appends CR LF and each default header that `headers` lacks (searched
// without regard to letter case): Accept, Referer, Accept-Language,
// User-Agent, and Content-Type for POST.
std::string CompleteHeaders(std::string headers, const std::string& url, int method);

// Drops lines without a colon and capitalises each part of every header name.
std::string NormaliseHeaderNames(std::string_view headers);

// The header lines to send, in order, as (name, value) pairs: one line when
// `headers` holds no CR LF, else every non-empty line except
// "Connection: keep-alive".
std::vector<std::pair<std::string, std::string>> ExtraHeaderLines(std::string_view headers);

// The cookies a response sets, "a=1; b=2", attributes dropped.
std::string CollectCookies(std::string_view responseHeaders);

// Merges the cookies sent with those returned: returned ones first, then old
// ones whose name the response did not set, without "=deleted" ones and
// without duplicates.
std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies);

std::string Base64(std::string_view bytes);

}  // namespace http_detail
}  // namespace dudivizo::service
