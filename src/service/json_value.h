#pragma once
// The value tree behind JsonDocument (a RapidJSON DOM: members kept in
// insertion order, every string and container in the document's own memory
// pool), with the JSON reader and the writer. Internal to the service library.

#include <rapidjson/document.h>

#include <string>
#include <string_view>

namespace dudivizo::service {

using JsonTree = rapidjson::Document;
using JsonValue = rapidjson::Value;
using JsonAllocator = rapidjson::Document::AllocatorType;

// Parses one JSON value filling the whole of `text` (blanks around it
// allowed) into `out`, with the script language's rule for repeated member
// names (the first place, the last value). False on any syntax error or
// nesting deeper than `maxDepth`; `out` is then unspecified.
bool ParseJson(const std::string& text, JsonTree& out, int maxDepth);

// Compact JSON text of `value`, as JSON.stringify writes it.
void WriteJson(const JsonValue& value, std::string& out);

// A number as the script language writes it ("100", "0.5", "1e+21").
std::string FormatNumber(double n);

inline std::string_view TextOf(const JsonValue& v) {
  return std::string_view(v.GetString(), v.GetStringLength());
}

inline JsonValue MakeString(std::string_view s, JsonAllocator& a) {
  return JsonValue(s.data(), static_cast<rapidjson::SizeType>(s.size()), a);
}

}  // namespace dudivizo::service
