#include "service/endpoints.h"

#include "platform/gbk.h"
#include "platform/profile.h"
#include "platform/text.h"

namespace dudivizo::service {

std::string ServiceHost(const std::string& runDirectory) {
  std::string host = platform::ReadProfileText(runDirectory + "service.ini", "service", "host");
  return host.empty() ? std::string(kDefaultServiceHost) : host;
}

std::string PercentEncodeGbk(std::string_view utf8text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (char ch : platform::Utf8ToGbk(utf8text)) {
    auto c = static_cast<unsigned char>(ch);
    bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                 c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out.push_back(ch);
    } else {
      out.push_back('%');
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 15]);
    }
  }
  return out;
}

std::string SignInUrl(std::string_view host, std::string_view account, std::string_view password) {
  return "http://" + std::string(host) + "/userinfo/?type=vidir&user=" + PercentEncodeGbk(account) +
         "&password=" + PercentEncodeGbk(password);
}

std::string NodeListUrl(std::string_view host) {
  return "http://" + std::string(host) + "/serverlistpc_rare/";
}

std::string IpInfoUrl(std::string_view host) {
  return "http://" + std::string(host) + "/ipinfohtml/";
}

}  // namespace dudivizo::service
