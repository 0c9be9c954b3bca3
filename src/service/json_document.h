#pragma once
// JsonDocument holds one JSON value and reads and changes it through path
// expressions such as "code", "data" or "data[3].province".
//
// Paths: a member name, then any number of ".name", "[index]" or
// "['name']" steps. Most operations address the document's value joined to
// the path with a dot, so an empty path or one that starts with "[" is
// invalid for them; getText, getDocument and getJson join a path that starts
// with "[" without the dot, so "[0].city" reads element 0 of a root array.
// Operations documented with "T" address the whole document for an empty path.
//
// Copies share one value: a change through one copy is seen by the other,
// until either of them parses a new text. Failures are never reported:
// getters return 0, empty text or false, setters change nothing.
// A document belongs to one thread at a time.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace dudivizo::service {

class JsonDocument {
 public:
  // Type codes of typeOf and resetAs.
  static constexpr int kAbsent = 0, kNumber = 2, kObject = 4, kArray = 5, kString = 6;
  // Deepest nesting that parse accepts; deeper texts are refused.
  static constexpr int kMaxDepth = 1000;

  JsonDocument();  // an empty object
  ~JsonDocument();
  JsonDocument(const JsonDocument&);
  JsonDocument& operator=(const JsonDocument&);

  // Replaces the value by the JSON text `text` (UTF-8); true when it holds a
  // value other than null. Only JSON is accepted; nothing is ever executed.
  // On false the document holds null.
  bool parse(const std::string& text);
  // Compact JSON of the whole value: no blanks, members in insertion order,
  // non-ASCII characters as themselves.
  std::string toText() const;
  void clear();  // the value becomes {}

  // Assignments to the member `name` (a path; its parent must exist).
  void setMember(std::string_view name, std::string_view value, bool isJson);
  void setText(std::string_view name, std::string_view text);
  void setJson(std::string_view name, std::string_view json);
  void setReal(std::string_view name, double value);
  void setInt(std::string_view name, int32_t value);
  void setBool(std::string_view name, bool value);  // stores the text "真" or "假"
  void setInt64(std::string_view name, int64_t value);

  double getReal(std::string_view path) const;
  int32_t getInt(std::string_view path) const;  // truncated toward zero
  bool getBool(std::string_view path) const;
  int64_t getInt64(std::string_view path) const;
  // The value as text (numbers in decimal), or its JSON form when `asJson`.
  std::string getText(std::string_view path, bool asJson = false) const;
  JsonDocument getDocument(std::string_view path) const;  // an independent copy
  std::string getJson(std::string_view path) const;       // empty when missing

  int count(std::string_view path = {}) const;  // members or elements of T
  // Makes T an array unless it is one, then appends `value`: a text, or the
  // JSON value `value` when `raw`.
  void append(std::string_view value, std::string_view path = {}, bool raw = false);
  JsonDocument elementDocument(int index, std::string_view path = {}) const;
  std::string elementText(int index, std::string_view path = {}, bool asJson = false) const;
  // Sets element `index` of the document's own value, a text or JSON (raw).
  void setElement(int index, std::string_view value, bool raw = false);
  // Removes element `index` of the document's array; a negative index counts
  // from the end.
  void removeElement(int index);
  void resetAs(int type);  // 0 or 4: {}, 5: [], other codes: no change
  void setRoot(std::string_view value, bool raw = false);
  bool has(std::string_view path) const;  // the member exists and is not null
  // Names of T's members (indexes for an array), followed by the two method
  // names "toJSONString" and "parseJSON" that the original script engine
  // enumerated on every object.
  std::vector<std::string> memberNames(std::string_view path = {}) const;
  int typeOf(std::string_view path = {}) const;

  struct Holder;  // the value all copies share; defined by the implementation

 private:
  explicit JsonDocument(std::shared_ptr<Holder> holder);

  std::shared_ptr<Holder> holder_;
};

// Appends `s` as toText writes a string: between quotes, with quote,
// backslash and control characters escaped, everything else as it is.
void WriteJsonString(std::string_view s, std::string& out);

}  // namespace dudivizo::service
