#pragma once
// The value tree behind JsonDocument, with its JSON reader and writer.
// Internal to the service library.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace dudivizo::service {

struct JsonContainer;

struct JsonValue {
  enum class Kind : uint8_t { Null, Bool, Number, String, Array, Object };

  Kind kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::string text;                      // Kind::String
  std::unique_ptr<JsonContainer> box;    // Kind::Array and Kind::Object

  static JsonValue MakeString(std::string_view s);
  static JsonValue MakeNumber(double n);
  static JsonValue MakeArray();
  static JsonValue MakeObject();

  bool IsContainer() const { return kind == Kind::Array || kind == Kind::Object; }
  JsonValue Clone() const;
};

struct TransparentHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};

// Elements of an array, or members of an object in insertion order (keys and
// items in parallel). Large objects keep a hash index of their keys.
struct JsonContainer {
  std::vector<JsonValue> items;
  std::vector<std::string> keys;
  std::unordered_map<std::string, size_t, TransparentHash, std::equal_to<>> index;

  JsonValue* Find(std::string_view key);
  const JsonValue* Find(std::string_view key) const;
  // Replaces the member's value, keeping its place, or appends the member.
  void Set(std::string_view key, JsonValue value);
};

// Parses one JSON value filling the whole of `text` (blanks around it
// allowed). False on any syntax error or nesting deeper than `maxDepth`.
bool ParseJson(std::string_view text, JsonValue& out, int maxDepth);

// Compact JSON text of `value`, as JSON.stringify writes it.
void WriteJson(const JsonValue& value, std::string& out);

// A number as the script language writes it ("100", "0.5", "1e+21").
std::string FormatNumber(double n);

}  // namespace dudivizo::service
