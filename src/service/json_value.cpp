#include "service/json_value.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace dudivizo::service {
namespace {

constexpr size_t kIndexThreshold = 16;

class Parser {
 public:
  Parser(std::string_view text, int maxDepth)
      : p_(text.data()), end_(text.data() + text.size()), maxDepth_(maxDepth) {}

  bool ParseDocument(JsonValue& out) {
    SkipBlanks();
    if (!ParseValue(out, 0)) return false;
    SkipBlanks();
    return p_ == end_;
  }

 private:
  void SkipBlanks() {
    while (p_ < end_ && (*p_ == ' ' || *p_ == '\t' || *p_ == '\n' || *p_ == '\r')) ++p_;
  }

  bool Literal(const char* word, size_t length) {
    if (static_cast<size_t>(end_ - p_) < length || std::memcmp(p_, word, length) != 0)
      return false;
    p_ += length;
    return true;
  }

  bool ParseValue(JsonValue& out, int depth) {
    if (p_ == end_) return false;
    switch (*p_) {
      case '{':
        return ParseObject(out, depth + 1);
      case '[':
        return ParseArray(out, depth + 1);
      case '"':
        out.kind = JsonValue::Kind::String;
        return ParseString(out.text);
      case 't':
        out.kind = JsonValue::Kind::Bool;
        out.boolean = true;
        return Literal("true", 4);
      case 'f':
        out.kind = JsonValue::Kind::Bool;
        out.boolean = false;
        return Literal("false", 5);
      case 'n':
        out.kind = JsonValue::Kind::Null;
        return Literal("null", 4);
      default:
        return ParseNumber(out);
    }
  }

  bool ParseObject(JsonValue& out, int depth) {
    if (depth > maxDepth_) return false;
    out = JsonValue::MakeObject();
    ++p_;
    SkipBlanks();
    if (p_ < end_ && *p_ == '}') {
      ++p_;
      return true;
    }
    std::string key;
    while (true) {
      SkipBlanks();
      if (p_ == end_ || *p_ != '"') return false;
      key.clear();
      if (!ParseString(key)) return false;
      SkipBlanks();
      if (p_ == end_ || *p_ != ':') return false;
      ++p_;
      SkipBlanks();
      JsonValue value;
      if (!ParseValue(value, depth)) return false;
      out.box->Set(key, std::move(value));
      SkipBlanks();
      if (p_ == end_) return false;
      if (*p_ == '}') {
        ++p_;
        return true;
      }
      if (*p_++ != ',') return false;
    }
  }

  bool ParseArray(JsonValue& out, int depth) {
    if (depth > maxDepth_) return false;
    out = JsonValue::MakeArray();
    ++p_;
    SkipBlanks();
    if (p_ < end_ && *p_ == ']') {
      ++p_;
      return true;
    }
    while (true) {
      SkipBlanks();
      out.box->items.emplace_back();
      if (!ParseValue(out.box->items.back(), depth)) return false;
      SkipBlanks();
      if (p_ == end_) return false;
      if (*p_ == ']') {
        ++p_;
        return true;
      }
      if (*p_++ != ',') return false;
    }
  }

  static void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
      out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }

  bool Hex4(uint32_t& value) {
    if (end_ - p_ < 4) return false;
    value = 0;
    for (int i = 0; i < 4; ++i) {
      char c = *p_++;
      value <<= 4;
      if (c >= '0' && c <= '9') value |= static_cast<uint32_t>(c - '0');
      else if (c >= 'a' && c <= 'f') value |= static_cast<uint32_t>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= static_cast<uint32_t>(c - 'A' + 10);
      else return false;
    }
    return true;
  }

  bool ParseUnicodeEscape(std::string& out) {
    uint32_t cp;
    if (!Hex4(cp)) return false;
    if (cp >= 0xD800 && cp <= 0xDBFF && end_ - p_ >= 6 && p_[0] == '\\' && p_[1] == 'u') {
      const char* save = p_;
      p_ += 2;
      uint32_t low;
      if (Hex4(low) && low >= 0xDC00 && low <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00));
        return true;
      }
      p_ = save;
    }
    // A lone surrogate cannot be written in UTF-8.
    AppendUtf8(out, cp >= 0xD800 && cp <= 0xDFFF ? 0xFFFD : cp);
    return true;
  }

  // Reads a string literal at p_ (which is at its opening quote).
  bool ParseString(std::string& out) {
    ++p_;
    while (true) {
      const char* start = p_;
      while (p_ < end_ && *p_ != '"' && *p_ != '\\' && *p_ != '\n' && *p_ != '\r') ++p_;
      out.append(start, static_cast<size_t>(p_ - start));
      if (p_ == end_ || *p_ == '\n' || *p_ == '\r') return false;
      if (*p_++ == '"') return true;
      if (p_ == end_) return false;
      char c = *p_++;
      switch (c) {
        case '"': out.push_back('"'); break;
        case '\\': out.push_back('\\'); break;
        case '/': out.push_back('/'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case 't': out.push_back('\t'); break;
        case 'u':
          if (!ParseUnicodeEscape(out)) return false;
          break;
        default:
          return false;
      }
    }
  }

  bool ParseNumber(JsonValue& out) {
    const char* start = p_;
    auto digits = [&] {
      const char* first = p_;
      while (p_ < end_ && *p_ >= '0' && *p_ <= '9') ++p_;
      return p_ > first;
    };
    if (p_ < end_ && *p_ == '-') ++p_;
    if (p_ < end_ && *p_ == '0') {
      ++p_;
    } else if (!digits()) {
      return false;
    }
    if (p_ < end_ && *p_ == '.') {
      ++p_;
      if (!digits()) return false;
    }
    if (p_ < end_ && (*p_ == 'e' || *p_ == 'E')) {
      ++p_;
      if (p_ < end_ && (*p_ == '+' || *p_ == '-')) ++p_;
      if (!digits()) return false;
    }
    out.kind = JsonValue::Kind::Number;
    auto [ptr, ec] = std::from_chars(start, p_, out.number);
    if (ec == std::errc::result_out_of_range) {
      // Beyond the range of a double: a negative exponent underflows to zero,
      // anything else overflows to infinity, as the script language reads it.
      std::string_view literal(start, static_cast<size_t>(p_ - start));
      size_t e = literal.find_first_of("eE");
      bool negative = literal[0] == '-';
      bool underflow = e != std::string_view::npos && literal[e + 1] == '-';
      out.number = underflow ? (negative ? -0.0 : 0.0) : (negative ? -HUGE_VAL : HUGE_VAL);
      return true;
    }
    return ec == std::errc() && ptr == p_;
  }

  const char* p_;
  const char* end_;
  int maxDepth_;
};

void WriteString(std::string_view s, std::string& out) {
  static const char kHex[] = "0123456789abcdef";
  out.push_back('"');
  size_t start = 0;
  for (size_t i = 0; i < s.size(); ++i) {
    auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out.append(s.data() + start, i - start);
    start = i + 1;
    switch (c) {
      case '"': out.append("\\\""); break;
      case '\\': out.append("\\\\"); break;
      case '\b': out.append("\\b"); break;
      case '\f': out.append("\\f"); break;
      case '\n': out.append("\\n"); break;
      case '\r': out.append("\\r"); break;
      case '\t': out.append("\\t"); break;
      default:
        out.append("\\u00");
        out.push_back(kHex[c >> 4]);
        out.push_back(kHex[c & 15]);
    }
  }
  out.append(s.data() + start, s.size() - start);
  out.push_back('"');
}

}  // namespace

JsonValue JsonValue::MakeString(std::string_view s) {
  JsonValue v;
  v.kind = Kind::String;
  v.text = s;
  return v;
}

JsonValue JsonValue::MakeNumber(double n) {
  JsonValue v;
  v.kind = Kind::Number;
  v.number = n;
  return v;
}

JsonValue JsonValue::MakeArray() {
  JsonValue v;
  v.kind = Kind::Array;
  v.box = std::make_unique<JsonContainer>();
  return v;
}

JsonValue JsonValue::MakeObject() {
  JsonValue v;
  v.kind = Kind::Object;
  v.box = std::make_unique<JsonContainer>();
  return v;
}

JsonValue JsonValue::Clone() const {
  JsonValue copy;
  copy.kind = kind;
  copy.boolean = boolean;
  copy.number = number;
  copy.text = text;
  if (box) {
    copy.box = std::make_unique<JsonContainer>();
    copy.box->keys = box->keys;
    copy.box->index = box->index;
    copy.box->items.reserve(box->items.size());
    for (const JsonValue& item : box->items) copy.box->items.push_back(item.Clone());
  }
  return copy;
}

const JsonValue* JsonContainer::Find(std::string_view key) const {
  if (!index.empty()) {
    auto it = index.find(key);
    return it == index.end() ? nullptr : &items[it->second];
  }
  for (size_t i = 0; i < keys.size(); ++i) {
    if (keys[i] == key) return &items[i];
  }
  return nullptr;
}

JsonValue* JsonContainer::Find(std::string_view key) {
  return const_cast<JsonValue*>(static_cast<const JsonContainer&>(*this).Find(key));
}

void JsonContainer::Set(std::string_view key, JsonValue value) {
  if (JsonValue* existing = Find(key)) {
    *existing = std::move(value);
    return;
  }
  keys.emplace_back(key);
  items.push_back(std::move(value));
  if (!index.empty()) {
    index.emplace(keys.back(), keys.size() - 1);
  } else if (keys.size() >= kIndexThreshold) {
    for (size_t i = 0; i < keys.size(); ++i) index.emplace(keys[i], i);
  }
}

bool ParseJson(std::string_view text, JsonValue& out, int maxDepth) {
  JsonValue value;
  if (!Parser(text, maxDepth).ParseDocument(value)) return false;
  out = std::move(value);
  return true;
}

void WriteJson(const JsonValue& value, std::string& out) {
  switch (value.kind) {
    case JsonValue::Kind::Null:
      out.append("null");
      return;
    case JsonValue::Kind::Bool:
      out.append(value.boolean ? "true" : "false");
      return;
    case JsonValue::Kind::Number:
      out.append(std::isfinite(value.number) ? FormatNumber(value.number) : "null");
      return;
    case JsonValue::Kind::String:
      WriteString(value.text, out);
      return;
    case JsonValue::Kind::Array:
      out.push_back('[');
      for (size_t i = 0; i < value.box->items.size(); ++i) {
        if (i > 0) out.push_back(',');
        WriteJson(value.box->items[i], out);
      }
      out.push_back(']');
      return;
    case JsonValue::Kind::Object:
      out.push_back('{');
      for (size_t i = 0; i < value.box->items.size(); ++i) {
        if (i > 0) out.push_back(',');
        WriteString(value.box->keys[i], out);
        out.push_back(':');
        WriteJson(value.box->items[i], out);
      }
      out.push_back('}');
      return;
  }
}

std::string FormatNumber(double n) {
  if (std::isnan(n)) return "NaN";
  if (std::isinf(n)) return n < 0 ? "-Infinity" : "Infinity";
  if (n == 0) return "0";
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
