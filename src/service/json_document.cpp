#include "service/json_document.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/text.h"
#include "service/json_value.h"

namespace dudivizo::service {

struct JsonDocument::Holder {
  JsonValue value = JsonValue::MakeObject();
};

namespace {

using Kind = JsonValue::Kind;

// Arrays grow up to this many elements past their end through setElement or
// a path assignment; a larger jump is refused rather than allocating memory
// for a sparse index.
constexpr size_t kMaxArrayGap = 1u << 20;

// How a path is joined to the document's variable.
enum class Join {
  Dot,           // always with a dot: an empty path is invalid
  BracketAware,  // a path starting with "[" is joined without the dot
  Target,        // with a dot; an empty path addresses the whole value
};

// One step of a path: a member name or an element index.
struct Step {
  bool isIndex = false;
  size_t index = 0;
  std::string_view name;
};

bool IsDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

// Reads the next step from `rest`; `bare` says the step is a member name
// without its leading dot (the first step of a dot-joined path).
bool NextStep(std::string_view& rest, Step& step, bool bare) {
  if (bare || rest.front() == '.') {
    if (!bare) rest.remove_prefix(1);
    size_t end = rest.find_first_of(".[");
    std::string_view name = platform::Trim(rest.substr(0, end));
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end);
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    step = Step{false, 0, name};
    return true;
  }
  if (rest.front() != '[') return false;
  size_t close = rest.find(']');
  if (close == std::string_view::npos) return false;
  std::string_view inner = platform::Trim(rest.substr(1, close - 1));
  rest.remove_prefix(close + 1);
  if (inner.size() >= 2 && (inner.front() == '\'' || inner.front() == '"') &&
      inner.back() == inner.front()) {
    step = Step{false, 0, inner.substr(1, inner.size() - 2)};
    return true;
  }
  if (!IsDigits(inner)) return false;
  auto [ptr, ec] = std::from_chars(inner.data(), inner.data() + inner.size(), step.index);
  if (ec != std::errc()) return false;
  step.isIndex = true;
  step.name = inner;
  return true;
}

// The child that `step` addresses in `value`, or nullptr.
const JsonValue* Child(const JsonValue& value, const Step& step) {
  if (value.kind == Kind::Object) return value.box->Find(step.name);
  if (value.kind != Kind::Array) return nullptr;
  size_t index = step.index;
  if (!step.isIndex) {
    if (!IsDigits(step.name)) return nullptr;
    auto [ptr, ec] = std::from_chars(step.name.data(), step.name.data() + step.name.size(), index);
    if (ec != std::errc()) return nullptr;
  }
  return index < value.box->items.size() ? &value.box->items[index] : nullptr;
}

// Splits `path` into its joined form: whether the first step is bare and
// the rest. False when the joined expression would be invalid.
bool Prepare(std::string_view path, Join join, bool& bare) {
  if (path.empty()) return join == Join::Target;
  bare = !(join == Join::BracketAware && path.front() == '[');
  return true;
}

const JsonValue* Resolve(const JsonValue& root, std::string_view path, Join join) {
  bool bare = false;
  if (!Prepare(path, join, bare)) return nullptr;
  const JsonValue* value = &root;
  std::string_view rest = path;
  while (!rest.empty() || bare) {
    Step step;
    if (value == nullptr || !NextStep(rest, step, bare)) return nullptr;
    bare = false;
    value = Child(*value, step);
  }
  return value;
}

// Assigns `value` to the member or element that `path` names. The parent
// must exist and be an object or array; otherwise nothing changes.
void Assign(JsonValue& root, std::string_view path, JsonValue value) {
  if (path.empty()) return;
  JsonValue* parent = &root;
  std::string_view rest = path;
  bool bare = true;
  Step step;
  if (!NextStep(rest, step, bare)) return;
  while (!rest.empty()) {
    Step next;
    if (!NextStep(rest, next, false)) return;
    parent = const_cast<JsonValue*>(Child(*parent, step));
    if (parent == nullptr) return;
    step = next;
  }
  if (parent->kind == Kind::Object) {
    parent->box->Set(step.name, std::move(value));
    return;
  }
  if (parent->kind != Kind::Array) return;
  size_t index = step.index;
  if (!step.isIndex) {
    if (!IsDigits(step.name)) return;
    auto [ptr, ec] = std::from_chars(step.name.data(), step.name.data() + step.name.size(), index);
    if (ec != std::errc()) return;
  }
  auto& items = parent->box->items;
  if (index >= items.size()) {
    if (index - items.size() > kMaxArrayGap) return;
    items.resize(index + 1);
  }
  items[index] = std::move(value);
}

// The value a text argument stands for: the text itself, or the JSON value
// it holds when `raw`. False when a raw text is not JSON.
bool ValueOf(std::string_view text, bool raw, JsonValue& out) {
  if (!raw) {
    out = JsonValue::MakeString(text);
    return true;
  }
  return ParseJson(text, out, JsonDocument::kMaxDepth);
}

// The value as the script engine hands it to the program as text.
void AppendPlainText(const JsonValue& value, std::string& out) {
  switch (value.kind) {
    case Kind::Null:
      return;
    case Kind::Bool:
      out.append(value.boolean ? "true" : "false");
      return;
    case Kind::Number:
      out.append(FormatNumber(value.number));
      return;
    case Kind::String:
      out.append(value.text);
      return;
    case Kind::Array:
      // An array reads as its elements joined with commas.
      for (size_t i = 0; i < value.box->items.size(); ++i) {
        if (i > 0) out.push_back(',');
        AppendPlainText(value.box->items[i], out);
      }
      return;
    case Kind::Object:
      out.append("[object Object]");
      return;
  }
}

std::string TextOf(const JsonValue* value, bool asJson) {
  std::string out;
  if (value == nullptr) return out;
  if (asJson) {
    WriteJson(*value, out);
  } else {
    AppendPlainText(*value, out);
  }
  return out;
}

// The value as a number; NaN when it has none.
double NumberOf(const JsonValue* value) {
  if (value == nullptr) return std::nan("");
  switch (value->kind) {
    case Kind::Number:
      return value->number;
    case Kind::Bool:
      return value->boolean ? 1 : 0;
    case Kind::String: {
      std::string_view s = platform::Trim(value->text);
      if (s.empty()) return 0;
      if (s.front() == '+') s.remove_prefix(1);
      double n = 0;
      auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
      return ec == std::errc() && ptr == s.data() + s.size() ? n : std::nan("");
    }
    default:
      return std::nan("");
  }
}

template <typename Int>
Int IntegerOf(const JsonValue* value) {
  double n = std::trunc(NumberOf(value));
  if (!std::isfinite(n)) return 0;
  if (n < static_cast<double>(std::numeric_limits<Int>::min()) ||
      n >= -static_cast<double>(std::numeric_limits<Int>::min())) {
    return 0;
  }
  return static_cast<Int>(n);
}

const JsonValue* Element(const JsonValue* target, int index) {
  if (target == nullptr || index < 0) return nullptr;
  Step step{true, static_cast<size_t>(index), {}};
  std::string name = std::to_string(index);
  step.name = name;
  return Child(*target, step);
}

}  // namespace

JsonDocument::JsonDocument() : holder_(std::make_shared<Holder>()) {}
JsonDocument::JsonDocument(std::shared_ptr<Holder> holder) : holder_(std::move(holder)) {}
JsonDocument::~JsonDocument() = default;
JsonDocument::JsonDocument(const JsonDocument&) = default;
JsonDocument& JsonDocument::operator=(const JsonDocument&) = default;

JsonValue& JsonDocument::root() const { return holder_->value; }

bool JsonDocument::parse(std::string_view text) {
  holder_ = std::make_shared<Holder>();
  holder_->value = JsonValue();
  if (!ParseJson(text, holder_->value, kMaxDepth)) return false;
  return holder_->value.kind != Kind::Null;
}

std::string JsonDocument::toText() const {
  std::string out;
  WriteJson(root(), out);
  return out;
}

void JsonDocument::clear() { root() = JsonValue::MakeObject(); }

void JsonDocument::setMember(std::string_view name, std::string_view value, bool isJson) {
  if (isJson && value.empty()) {
    Assign(root(), name, JsonValue::MakeObject());
    return;
  }
  JsonValue v;
  if (ValueOf(value, isJson, v)) Assign(root(), name, std::move(v));
}

void JsonDocument::setText(std::string_view name, std::string_view text) {
  Assign(root(), name, JsonValue::MakeString(text));
}

void JsonDocument::setJson(std::string_view name, std::string_view json) {
  JsonValue v;
  if (ParseJson(json, v, kMaxDepth)) Assign(root(), name, std::move(v));
}

void JsonDocument::setReal(std::string_view name, double value) {
  Assign(root(), name, JsonValue::MakeNumber(value));
}

void JsonDocument::setInt(std::string_view name, int32_t value) {
  Assign(root(), name, JsonValue::MakeNumber(value));
}

void JsonDocument::setBool(std::string_view name, bool value) {
  Assign(root(), name, JsonValue::MakeString(value ? "真" : "假"));
}

void JsonDocument::setInt64(std::string_view name, int64_t value) {
  Assign(root(), name, JsonValue::MakeNumber(static_cast<double>(value)));
}

double JsonDocument::getReal(std::string_view path) const {
  double n = NumberOf(Resolve(root(), path, Join::Dot));
  return std::isnan(n) ? 0 : n;
}

int32_t JsonDocument::getInt(std::string_view path) const {
  return IntegerOf<int32_t>(Resolve(root(), path, Join::Dot));
}

bool JsonDocument::getBool(std::string_view path) const {
  const JsonValue* value = Resolve(root(), path, Join::Dot);
  if (value == nullptr) return false;
  if (value->kind == Kind::String) {
    std::string_view s = platform::Trim(value->text);
    if (platform::EqualsIgnoreAsciiCase(s, "true")) return true;
    if (platform::EqualsIgnoreAsciiCase(s, "false")) return false;
  }
  double n = NumberOf(value);
  return !std::isnan(n) && n != 0;
}

int64_t JsonDocument::getInt64(std::string_view path) const {
  return IntegerOf<int64_t>(Resolve(root(), path, Join::Dot));
}

std::string JsonDocument::getText(std::string_view path, bool asJson) const {
  return TextOf(Resolve(root(), path, Join::BracketAware), asJson);
}

JsonDocument JsonDocument::getDocument(std::string_view path) const {
  auto holder = std::make_shared<Holder>();
  const JsonValue* value = Resolve(root(), path, Join::BracketAware);
  holder->value = value ? value->Clone() : JsonValue();
  return JsonDocument(std::move(holder));
}

std::string JsonDocument::getJson(std::string_view path) const {
  return TextOf(Resolve(root(), path, Join::BracketAware), true);
}

int JsonDocument::count(std::string_view path) const {
  const JsonValue* value = Resolve(root(), path, Join::Target);
  if (value == nullptr || !value->IsContainer()) return 0;
  return static_cast<int>(value->box->items.size());
}

void JsonDocument::append(std::string_view value, std::string_view path, bool raw) {
  const JsonValue* target = Resolve(root(), path, Join::Target);
  if (target == nullptr || target->kind != Kind::Array) {
    if (path.empty()) {
      root() = JsonValue::MakeArray();
    } else {
      Assign(root(), path, JsonValue::MakeArray());
    }
    target = Resolve(root(), path, Join::Target);
    if (target == nullptr || target->kind != Kind::Array) return;
  }
  JsonValue v;
  if (ValueOf(value, raw, v)) const_cast<JsonValue*>(target)->box->items.push_back(std::move(v));
}

JsonDocument JsonDocument::elementDocument(int index, std::string_view path) const {
  auto holder = std::make_shared<Holder>();
  const JsonValue* value = Element(Resolve(root(), path, Join::Target), index);
  holder->value = value ? value->Clone() : JsonValue();
  return JsonDocument(std::move(holder));
}

std::string JsonDocument::elementText(int index, std::string_view path, bool asJson) const {
  return TextOf(Element(Resolve(root(), path, Join::Target), index), asJson);
}

void JsonDocument::setElement(int index, std::string_view value, bool raw) {
  JsonValue v;
  if (index < 0 || !ValueOf(value, raw, v)) return;
  JsonValue& r = root();
  if (r.kind == Kind::Object) {
    r.box->Set(std::to_string(index), std::move(v));
    return;
  }
  if (r.kind != Kind::Array) return;
  auto& items = r.box->items;
  auto i = static_cast<size_t>(index);
  if (i >= items.size()) {
    if (i - items.size() > kMaxArrayGap) return;
    items.resize(i + 1);
  }
  items[i] = std::move(v);
}

void JsonDocument::removeElement(int index) {
  JsonValue& r = root();
  if (r.kind != Kind::Array) return;
  auto& items = r.box->items;
  auto size = static_cast<int64_t>(items.size());
  int64_t at = index < 0 ? std::max<int64_t>(size + index, 0) : index;
  if (at < size) items.erase(items.begin() + at);
}

void JsonDocument::resetAs(int type) {
  if (type == kAbsent || type == kObject) {
    root() = JsonValue::MakeObject();
  } else if (type == kArray) {
    root() = JsonValue::MakeArray();
  }
}

void JsonDocument::setRoot(std::string_view value, bool raw) {
  JsonValue v;
  if (ValueOf(value, raw, v)) root() = std::move(v);
}

bool JsonDocument::has(std::string_view path) const {
  const JsonValue* value = Resolve(root(), path, Join::Dot);
  return value != nullptr && value->kind != Kind::Null;
}

std::vector<std::string> JsonDocument::memberNames(std::string_view path) const {
  std::vector<std::string> names;
  const JsonValue* value = Resolve(root(), path, Join::Target);
  if (value == nullptr || value->kind == Kind::Null) return names;
  if (value->kind == Kind::Object) {
    names = value->box->keys;
  } else if (value->kind == Kind::Array) {
    for (size_t i = 0; i < value->box->items.size(); ++i) names.push_back(std::to_string(i));
  }
  names.emplace_back("toJSONString");
  names.emplace_back("parseJSON");
  return names;
}

int JsonDocument::typeOf(std::string_view path) const {
  const JsonValue* value = Resolve(root(), path, Join::Target);
  if (value == nullptr) return kAbsent;
  switch (value->kind) {
    case Kind::Null: return kAbsent;
    case Kind::Number: return kNumber;
    case Kind::String: return kString;
    case Kind::Array: return kArray;
    default: return kObject;
  }
}

}  // namespace dudivizo::service
