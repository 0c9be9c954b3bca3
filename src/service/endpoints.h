#pragma once
// The service's three endpoints, all plain HTTP on one service host.

#include <string>
#include <string_view>

namespace dudivizo::service {

// The demo service's address, used when no service.ini names a host.
inline constexpr std::string_view kDefaultServiceHost = "127.0.0.1:18086";

// The host (host or host:port) from "service.ini" in `runDirectory`
// (section "service", key "host"), or the default when it names none.
std::string ServiceHost(const std::string& runDirectory);

// The sign-in URL. Account and password are percent-encoded from their GBK
// bytes and inserted once each, so no character of either can change the
// query or the other value.
std::string SignInUrl(std::string_view host, std::string_view account, std::string_view password);
std::string NodeListUrl(std::string_view host);
std::string IpInfoUrl(std::string_view host);

// Percent-encodes the GBK form of `utf8text`: letters, digits and "-_.~"
// stay, every other byte becomes %XX.
std::string PercentEncodeGbk(std::string_view utf8text);

}  // namespace dudivizo::service
