#include "service/json_value.h"

#include "service/json_document.h"

#include <rapidjson/reader.h>

#include <charconv>
#include <cmath>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace dudivizo::service {
namespace {

// Passes the reader's events to the document, refusing nesting deeper than
// the limit so that no later walk over the tree can exhaust the stack.
class DepthLimit {
 public:
  DepthLimit(JsonTree& tree, int maxDepth) : tree_(tree), maxDepth_(maxDepth) {}

  bool Null() { return tree_.Null(); }
  bool Bool(bool b) { return tree_.Bool(b); }
  bool Int(int i) { return tree_.Int(i); }
  bool Uint(unsigned u) { return tree_.Uint(u); }
  bool Int64(int64_t i) { return tree_.Int64(i); }
  bool Uint64(uint64_t u) { return tree_.Uint64(u); }
  bool Double(double d) { return tree_.Double(d); }
  bool RawNumber(const char* s, rapidjson::SizeType n, bool copy) {
    return tree_.RawNumber(s, n, copy);
  }
  bool String(const char* s, rapidjson::SizeType n, bool copy) { return tree_.String(s, n, copy); }
  bool Key(const char* s, rapidjson::SizeType n, bool copy) { return tree_.Key(s, n, copy); }
  bool StartObject() { return ++depth_ <= maxDepth_ && tree_.StartObject(); }
  bool EndObject(rapidjson::SizeType n) {
    --depth_;
    return tree_.EndObject(n);
  }
  bool StartArray() { return ++depth_ <= maxDepth_ && tree_.StartArray(); }
  bool EndArray(rapidjson::SizeType n) {
    --depth_;
    return tree_.EndArray(n);
  }

 private:
  JsonTree& tree_;
  int maxDepth_;
  int depth_ = 0;
};

bool SameName(const JsonValue& a, const JsonValue& b) {
  return a.GetStringLength() == b.GetStringLength() && TextOf(a) == TextOf(b);
}

// Gives an object with repeated member names one member per name, at the
// place of its first occurrence, holding the value of its last.
bool HasRepeatedNames(const JsonValue& object) {
  const rapidjson::SizeType n = object.MemberCount();
  auto members = object.MemberBegin();
  if (n <= 16) {
    for (rapidjson::SizeType i = 1; i < n; ++i) {
      for (rapidjson::SizeType j = 0; j < i; ++j) {
        if (SameName(members[i].name, members[j].name)) return true;
      }
    }
    return false;
  }
  std::unordered_set<std::string_view> seen;
  seen.reserve(n);
  for (rapidjson::SizeType i = 0; i < n; ++i) {
    if (!seen.insert(TextOf(members[i].name)).second) return true;
  }
  return false;
}

// Gives an object with repeated member names one member per name, at the
// place of its first occurrence, holding the value of its last.
void MergeRepeatedNames(JsonValue& object, JsonAllocator& allocator) {
  if (!HasRepeatedNames(object)) return;
  const rapidjson::SizeType n = object.MemberCount();
  auto members = object.MemberBegin();
  std::unordered_map<std::string_view, rapidjson::SizeType> first;
  std::vector<rapidjson::SizeType> firstOf(n);
  for (rapidjson::SizeType i = 0; i < n; ++i) {
    firstOf[i] = first.emplace(TextOf(members[i].name), i).first->second;
  }
  for (rapidjson::SizeType i = 0; i < n; ++i) {
    if (firstOf[i] != i) members[firstOf[i]].value = members[i].value;  // moves
  }
  JsonValue merged(rapidjson::kObjectType);
  for (rapidjson::SizeType i = 0; i < n; ++i) {
    if (firstOf[i] == i) merged.AddMember(members[i].name, members[i].value, allocator);
  }
  object = merged;
}

void MergeRepeatedNamesEverywhere(JsonTree& tree) {
  std::vector<JsonValue*> pending{&tree};
  while (!pending.empty()) {
    JsonValue* v = pending.back();
    pending.pop_back();
    if (v->IsObject()) {
      MergeRepeatedNames(*v, tree.GetAllocator());
      for (auto& m : v->GetObject()) {
        if (m.value.IsObject() || m.value.IsArray()) pending.push_back(&m.value);
      }
    } else if (v->IsArray()) {
      for (auto& item : v->GetArray()) {
        if (item.IsObject() || item.IsArray()) pending.push_back(&item);
      }
    }
  }
}

}  // namespace

void WriteJsonString(std::string_view s, std::string& out) {
  static const char kHex[] = "0123456789abcdef";
  out.push_back('"');
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(s.data() + start, i - start);
    start = i + 1;
    switch (c) {
      case '"':
        out.append("\\\"");
        break;
      case '\\':
        out.append("\\\\");
        break;
      case '\b':
        out.append("\\b");
        break;
      case '\f':
        out.append("\\f");
        break;
      case '\n':
        out.append("\\n");
        break;
      case '\r':
        out.append("\\r");
        break;
      case '\t':
        out.append("\\t");
        break;
      default:
        out.append("\\u00");
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 15]);
    }
  }
  out.append(s.data() + start, s.size() - start);
  out.push_back('"');
}

bool ParseJson(const std::string& text, JsonTree& out, int maxDepth) {
  // The reader stops at a NUL byte, and JSON text never holds one raw.
  if (text.find('\0') != std::string::npos) return false;
  constexpr unsigned kFlags = rapidjson::kParseIterativeFlag | rapidjson::kParseFullPrecisionFlag;
  rapidjson::StringStream stream(text.c_str());
  bool ok = false;
  auto generate = [&](JsonTree& tree) {
    rapidjson::Reader reader;
    DepthLimit handler(tree, maxDepth);
    ok = !reader.Parse<kFlags>(stream, handler).IsError();
    return ok;
  };
  out.Populate(generate);
  if (ok) MergeRepeatedNamesEverywhere(out);
  return ok;
}

void WriteJson(const JsonValue& value, std::string& out) {
  switch (value.GetType()) {
    case rapidjson::kNullType:
      out.append("null");
      return;
    case rapidjson::kFalseType:
      out.append("false");
      return;
    case rapidjson::kTrueType:
      out.append("true");
      return;
    case rapidjson::kNumberType:
      out.append(std::isfinite(value.GetDouble()) ? FormatNumber(value.GetDouble()) : "null");
      return;
    case rapidjson::kStringType:
      WriteJsonString(TextOf(value), out);
      return;
    case rapidjson::kArrayType: {
      out.push_back('[');
      bool first = true;
      for (const JsonValue& item : value.GetArray()) {
        if (!first) out.push_back(',');
        first = false;
        WriteJson(item, out);
      }
      out.push_back(']');
      return;
    }
    case rapidjson::kObjectType: {
      out.push_back('{');
      bool first = true;
      for (const auto& member : value.GetObject()) {
        if (!first) out.push_back(',');
        first = false;
        WriteJsonString(TextOf(member.name), out);
        out.push_back(':');
        WriteJson(member.value, out);
      }
      out.push_back('}');
      return;
    }
  }
}

std::string FormatNumber(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n < 0 ? "-Infinity" : "Infinity";
  if (n == 0) return "0";
  if (std::trunc(n) == n && std::fabs(n) < 9.0e15) {
    // Whole numbers below 2^53 are written as plain integers.
    char digits[24];
    auto end = std::to_chars(digits, digits + sizeof digits, static_cast<int64_t>(n)).ptr;
    return std::string(digits, end);
  }
  std::string out;
  if (n < 0) {
    out.push_back('-');
    n = -n;
  }
  // Shortest round-trip digits, then the script language's placement rules.
  char buf[64];
  auto result = std::to_chars(buf, buf + sizeof buf, n, std::chars_format::scientific);
  std::string_view sci(buf, static_cast<size_t>(result.ptr - buf));
  size_t e = sci.find('e');
  std::string digits;
  for (char c : sci.substr(0, e)) {
    if (c != '.') digits.push_back(c);
  }
  int exponent = 0;
  std::string_view expText = sci.substr(e + 1);
  if (!expText.empty() && expText[0] == '+') expText.remove_prefix(1);
  std::from_chars(expText.data(), expText.data() + expText.size(), exponent);
  int k = static_cast<int>(digits.size());
  int point = exponent + 1;  // value = 0.digits x 10^point
  if (k <= point && point <= 21) {
    out.append(digits).append(static_cast<size_t>(point - k), '0');
  } else if (0 < point && point <= 21) {
    out.append(digits.substr(0, static_cast<size_t>(point)))
        .append(".")
        .append(digits.substr(static_cast<size_t>(point)));
  } else if (-6 < point && point <= 0) {
    out.append("0.").append(static_cast<size_t>(-point), '0').append(digits);
  } else {
    out.push_back(digits[0]);
    if (k > 1) out.append(".").append(digits.substr(1));
    out.append(point - 1 >= 0 ? "e+" : "e-").append(std::to_string(std::abs(point - 1)));
  }
  return out;
}

}  // namespace dudivizo::service
