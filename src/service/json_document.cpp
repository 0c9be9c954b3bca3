#include "service/json_document.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "platform/text.h"
#include "service/json_value.h"

namespace dudivizo::service {

// The value every copy of a document shares, with the memory it lives in.
struct JsonDocument::Holder {
  JsonTree tree;
  // Every change of the tree counts up, invalidating the path cache below.
  uint64_t generation = 0;
  // The container that the path prefix `cachedPrefix` led to at generation
  // `cachedGeneration`. Readers go through "data[i].field" paths node by
  // node, so consecutive reads share everything but the last step.
  std::string cachedPrefix;
  bool cachedBare = false;
  uint64_t cachedGeneration = ~uint64_t{0};
  JsonValue* cachedParent = nullptr;

  Holder() { tree.SetObject(); }
  JsonAllocator& allocator() { return tree.GetAllocator(); }
  void Touch() { ++generation; }
  // Replaces the whole value; the old value's memory is released with it.
  void Replace(JsonTree& fresh) {
    tree.Swap(fresh);
    Touch();
  }
};

namespace {

using rapidjson::SizeType;

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

bool ToIndex(std::string_view digits, size_t& index) {
  if (!IsDigits(digits)) return false;
  auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
  return ec == std::errc();
}

// Reads the next step from `rest`; `bare` says the step is a member name
// without its leading dot (the first step of a dot-joined path).
bool NextStep(std::string_view& rest, Step& step, bool bare) {
  if (bare || rest.front() == '.') {
    size_t end = bare ? 0 : 1;
    while (end < rest.size() && rest[end] != '.' && rest[end] != '[') ++end;
    std::string_view name = platform::Trim(rest.substr(bare ? 0 : 1, end - (bare ? 0 : 1)));
    rest.remove_prefix(end);
    if (name.empty() || (name[0] >= '0' && name[0] <= '9')) return false;
    step = Step{false, 0, name};
    return true;
  }
  if (rest.front() != '[') return false;
  size_t close = 1;
  while (close < rest.size() && rest[close] != ']') ++close;
  if (close == rest.size()) return false;
  std::string_view inner = platform::Trim(rest.substr(1, close - 1));
  rest.remove_prefix(close + 1);
  if (inner.size() >= 2 && (inner.front() == '\'' || inner.front() == '"') &&
      inner.back() == inner.front()) {
    step = Step{false, 0, inner.substr(1, inner.size() - 2)};
    return true;
  }
  step = Step{true, 0, inner};
  return ToIndex(inner, step.index);
}

JsonValue* FindMember(JsonValue& object, std::string_view name) {
  JsonValue key(rapidjson::StringRef(name.data(), static_cast<SizeType>(name.size())));
  auto it = object.FindMember(key);
  return it == object.MemberEnd() ? nullptr : &it->value;
}

// The child that `step` addresses in `value`, or nullptr.
JsonValue* Child(JsonValue& value, const Step& step) {
  if (value.IsObject()) return FindMember(value, step.name);
  if (!value.IsArray()) return nullptr;
  size_t index = step.index;
  if (!step.isIndex && !ToIndex(step.name, index)) return nullptr;
  return index < value.Size() ? &value[static_cast<SizeType>(index)] : nullptr;
}

// Walks `path` from `start`; `bare` says its first step has no leading dot.
JsonValue* Walk(JsonValue* value, std::string_view rest, bool bare) {
  while (!rest.empty()) {
    Step step;
    if (value == nullptr || !NextStep(rest, step, bare)) return nullptr;
    bare = false;
    value = Child(*value, step);
  }
  return value;
}

const JsonValue* Resolve(JsonDocument::Holder& holder, std::string_view path, Join join) {
  bool bare = true;
  if (path.empty()) {
    if (join != Join::Target) return nullptr;
    bare = false;
  } else if (join == Join::BracketAware && path.front() == '[') {
    bare = false;
  }
  // The common case: the cached prefix, then one more unquoted step.
  const std::string& cached = holder.cachedPrefix;
  if (holder.cachedGeneration == holder.generation && holder.cachedBare == bare &&
      !cached.empty() && path.size() > cached.size() &&
      (path[cached.size()] == '.' || path[cached.size()] == '[') &&
      path.compare(0, cached.size(), cached) == 0) {
    std::string_view tail = path.substr(cached.size());
    bool oneStep = true;
    for (size_t i = 1; i < tail.size() && oneStep; ++i) {
      char c = tail[i];
      oneStep = c != '.' && c != '[' && c != '\'' && c != '"';
    }
    if (oneStep) return Walk(holder.cachedParent, tail, false);
  }
  // Split off the last step and resolve the rest through the cache, unless
  // quoted names could hide the step boundaries.
  size_t last = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    char c = path[i];
    if (c == '\'' || c == '"') return Walk(&holder.tree, path, bare);
    if (c == '.' || c == '[') last = i;
  }
  if (last == 0) return Walk(&holder.tree, path, bare);
  std::string_view prefix = path.substr(0, last);
  if (holder.cachedGeneration != holder.generation || holder.cachedBare != bare ||
      holder.cachedPrefix != prefix) {
    holder.cachedParent = Walk(&holder.tree, prefix, bare);
    holder.cachedPrefix.assign(prefix);
    holder.cachedBare = bare;
    holder.cachedGeneration = holder.generation;
  }
  return Walk(holder.cachedParent, path.substr(last), false);
}

// Sets member `name` of `object` to `value`, keeping the member's place
// when it exists and appending it otherwise.
void SetMember(JsonDocument::Holder& holder, JsonValue& object, std::string_view name,
               JsonValue& value) {
  if (JsonValue* existing = FindMember(object, name)) {
    *existing = value;
  } else {
    JsonValue key = MakeString(name, holder.allocator());
    object.AddMember(key, value, holder.allocator());
  }
}

// Assigns `value` (allocated in `holder`) to the member or element that
// `path` names. The parent must exist and be an object or array; otherwise
// nothing changes.
void Assign(JsonDocument::Holder& holder, std::string_view path, JsonValue& value) {
  if (path.empty()) return;
  holder.Touch();
  JsonValue* parent = &holder.tree;
  std::string_view rest = path;
  Step step;
  if (!NextStep(rest, step, true)) return;
  while (!rest.empty()) {
    Step next;
    if (!NextStep(rest, next, false)) return;
    parent = Child(*parent, step);
    if (parent == nullptr) return;
    step = next;
  }
  if (parent->IsObject()) {
    SetMember(holder, *parent, step.name, value);
    return;
  }
  if (!parent->IsArray()) return;
  size_t index = step.index;
  if (!step.isIndex && !ToIndex(step.name, index)) return;
  if (index >= parent->Size()) {
    if (index - parent->Size() > kMaxArrayGap) return;
    while (parent->Size() <= index) parent->PushBack(JsonValue(), holder.allocator());
  }
  (*parent)[static_cast<SizeType>(index)] = value;
}

// The value a text argument stands for, allocated in `holder`: the text
// itself, or the JSON value it holds when `raw`. False when a raw text is
// not JSON.
bool ValueOf(std::string_view text, bool raw, JsonDocument::Holder& holder, JsonValue& out) {
  if (!raw) {
    out = MakeString(text, holder.allocator());
    return true;
  }
  JsonTree parsed;
  if (!ParseJson(std::string(text), parsed, JsonDocument::kMaxDepth)) return false;
  out.CopyFrom(parsed, holder.allocator());
  return true;
}

// The value as the script engine hands it to the program as text.
void AppendPlainText(const JsonValue& value, std::string& out) {
  if (value.IsBool()) {
    out.append(value.GetBool() ? "true" : "false");
  } else if (value.IsNumber()) {
    out.append(FormatNumber(value.GetDouble()));
  } else if (value.IsString()) {
    out.append(TextOf(value));
  } else if (value.IsArray()) {
    // An array reads as its elements joined with commas.
    bool first = true;
    for (const JsonValue& item : value.GetArray()) {
      if (!first) out.push_back(',');
      first = false;
      AppendPlainText(item, out);
    }
  } else if (value.IsObject()) {
    out.append("[object Object]");
  }
}

std::string TextFor(const JsonValue* value, bool asJson) {
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
  if (value->IsNumber()) return value->GetDouble();
  if (value->IsBool()) return value->GetBool() ? 1 : 0;
  if (!value->IsString()) return std::nan("");
  std::string_view s = platform::Trim(TextOf(*value));
  if (s.empty()) return 0;
  if (s.front() == '+') s.remove_prefix(1);
  double n = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
  return ec == std::errc() && ptr == s.data() + s.size() ? n : std::nan("");
}

template <typename Int>
Int IntegerOf(const JsonValue* value) {
  double n = std::trunc(NumberOf(value));
  if (!std::isfinite(n) || n < static_cast<double>(std::numeric_limits<Int>::min()) ||
      n >= -static_cast<double>(std::numeric_limits<Int>::min())) {
    return 0;
  }
  return static_cast<Int>(n);
}

const JsonValue* Element(const JsonValue* target, int index) {
  if (target == nullptr || index < 0) return nullptr;
  std::string name = std::to_string(index);
  return Child(*const_cast<JsonValue*>(target), Step{true, static_cast<size_t>(index), name});
}

// A new value holder with a deep copy of `value`, or null when there is none.
std::shared_ptr<JsonDocument::Holder> DetachedCopy(const JsonValue* value) {
  auto holder = std::make_shared<JsonDocument::Holder>();
  if (value) {
    holder->tree.CopyFrom(*value, holder->allocator());
  } else {
    holder->tree.SetNull();
  }
  return holder;
}

}  // namespace

JsonDocument::JsonDocument() : holder_(std::make_shared<Holder>()) {}
JsonDocument::JsonDocument(std::shared_ptr<Holder> holder) : holder_(std::move(holder)) {}
JsonDocument::~JsonDocument() = default;
JsonDocument::JsonDocument(const JsonDocument&) = default;
JsonDocument& JsonDocument::operator=(const JsonDocument&) = default;

bool JsonDocument::parse(const std::string& text) {
  holder_ = std::make_shared<Holder>();
  if (!ParseJson(text, holder_->tree, kMaxDepth)) {
    JsonTree empty;  // null
    holder_->Replace(empty);
    return false;
  }
  return !holder_->tree.IsNull();
}

std::string JsonDocument::toText() const {
  std::string out;
  WriteJson(holder_->tree, out);
  return out;
}

void JsonDocument::clear() { resetAs(kObject); }

void JsonDocument::setMember(std::string_view name, std::string_view value, bool isJson) {
  JsonValue v;
  if (isJson && value.empty()) {
    v.SetObject();
    Assign(*holder_, name, v);
  } else if (ValueOf(value, isJson, *holder_, v)) {
    Assign(*holder_, name, v);
  }
}

void JsonDocument::setText(std::string_view name, std::string_view text) {
  JsonValue v = MakeString(text, holder_->allocator());
  Assign(*holder_, name, v);
}

void JsonDocument::setJson(std::string_view name, std::string_view json) {
  JsonValue v;
  if (ValueOf(json, true, *holder_, v)) Assign(*holder_, name, v);
}

void JsonDocument::setReal(std::string_view name, double value) {
  JsonValue v(value);
  Assign(*holder_, name, v);
}

void JsonDocument::setInt(std::string_view name, int32_t value) {
  JsonValue v(value);
  Assign(*holder_, name, v);
}

void JsonDocument::setBool(std::string_view name, bool value) {
  setText(name, value ? "真" : "假");
}

void JsonDocument::setInt64(std::string_view name, int64_t value) {
  // The script language holds every number as a double.
  JsonValue v(static_cast<double>(value));
  Assign(*holder_, name, v);
}

double JsonDocument::getReal(std::string_view path) const {
  double n = NumberOf(Resolve(*holder_, path, Join::Dot));
  return std::isnan(n) ? 0 : n;
}

int32_t JsonDocument::getInt(std::string_view path) const {
  return IntegerOf<int32_t>(Resolve(*holder_, path, Join::Dot));
}

bool JsonDocument::getBool(std::string_view path) const {
  const JsonValue* value = Resolve(*holder_, path, Join::Dot);
  if (value == nullptr) return false;
  if (value->IsString()) {
    std::string_view s = platform::Trim(TextOf(*value));
    if (platform::EqualsIgnoreAsciiCase(s, "true")) return true;
    if (platform::EqualsIgnoreAsciiCase(s, "false")) return false;
  }
  double n = NumberOf(value);
  return !std::isnan(n) && n != 0;
}

int64_t JsonDocument::getInt64(std::string_view path) const {
  return IntegerOf<int64_t>(Resolve(*holder_, path, Join::Dot));
}

std::string JsonDocument::getText(std::string_view path, bool asJson) const {
  return TextFor(Resolve(*holder_, path, Join::BracketAware), asJson);
}

JsonDocument JsonDocument::getDocument(std::string_view path) const {
  return JsonDocument(DetachedCopy(Resolve(*holder_, path, Join::BracketAware)));
}

std::string JsonDocument::getJson(std::string_view path) const {
  return TextFor(Resolve(*holder_, path, Join::BracketAware), true);
}

int JsonDocument::count(std::string_view path) const {
  const JsonValue* value = Resolve(*holder_, path, Join::Target);
  if (value == nullptr) return 0;
  if (value->IsArray()) return static_cast<int>(value->Size());
  if (value->IsObject()) return static_cast<int>(value->MemberCount());
  return 0;
}

void JsonDocument::append(std::string_view value, std::string_view path, bool raw) {
  auto* target = const_cast<JsonValue*>(Resolve(*holder_, path, Join::Target));
  if (target == nullptr || !target->IsArray()) {
    if (path.empty()) {
      resetAs(kArray);
    } else {
      JsonValue array(rapidjson::kArrayType);
      Assign(*holder_, path, array);
    }
    target = const_cast<JsonValue*>(Resolve(*holder_, path, Join::Target));
    if (target == nullptr || !target->IsArray()) return;
  }
  JsonValue v;
  if (ValueOf(value, raw, *holder_, v)) target->PushBack(v, holder_->allocator());
  holder_->Touch();
}

JsonDocument JsonDocument::elementDocument(int index, std::string_view path) const {
  return JsonDocument(DetachedCopy(Element(Resolve(*holder_, path, Join::Target), index)));
}

std::string JsonDocument::elementText(int index, std::string_view path, bool asJson) const {
  return TextFor(Element(Resolve(*holder_, path, Join::Target), index), asJson);
}

void JsonDocument::setElement(int index, std::string_view value, bool raw) {
  JsonValue v;
  if (index < 0 || !ValueOf(value, raw, *holder_, v)) return;
  holder_->Touch();
  JsonValue& r = holder_->tree;
  if (r.IsObject()) {
    SetMember(*holder_, r, std::to_string(index), v);
    return;
  }
  if (!r.IsArray()) return;
  auto i = static_cast<size_t>(index);
  if (i >= r.Size()) {
    if (i - r.Size() > kMaxArrayGap) return;
    while (r.Size() <= i) r.PushBack(JsonValue(), holder_->allocator());
  }
  r[static_cast<SizeType>(i)] = v;
}

void JsonDocument::removeElement(int index) {
  JsonValue& r = holder_->tree;
  if (!r.IsArray()) return;
  holder_->Touch();
  auto size = static_cast<int64_t>(r.Size());
  int64_t at = index < 0 ? std::max<int64_t>(size + index, 0) : index;
  if (at < size) r.Erase(r.Begin() + at);
}

void JsonDocument::resetAs(int type) {
  JsonTree fresh;
  if (type == kAbsent || type == kObject) {
    fresh.SetObject();
  } else if (type == kArray) {
    fresh.SetArray();
  } else {
    return;
  }
  holder_->Replace(fresh);
}

void JsonDocument::setRoot(std::string_view value, bool raw) {
  JsonTree fresh;
  if (raw) {
    if (!ParseJson(std::string(value), fresh, kMaxDepth)) return;
  } else {
    fresh.SetString(value.data(), static_cast<SizeType>(value.size()), fresh.GetAllocator());
  }
  holder_->Replace(fresh);
}

bool JsonDocument::has(std::string_view path) const {
  const JsonValue* value = Resolve(*holder_, path, Join::Dot);
  return value != nullptr && !value->IsNull();
}

std::vector<std::string> JsonDocument::memberNames(std::string_view path) const {
  std::vector<std::string> names;
  const JsonValue* value = Resolve(*holder_, path, Join::Target);
  if (value == nullptr || value->IsNull()) return names;
  if (value->IsObject()) {
    for (const auto& m : value->GetObject()) names.emplace_back(TextOf(m.name));
  } else if (value->IsArray()) {
    for (SizeType i = 0; i < value->Size(); ++i) names.push_back(std::to_string(i));
  }
  names.emplace_back("toJSONString");
  names.emplace_back("parseJSON");
  return names;
}

int JsonDocument::typeOf(std::string_view path) const {
  const JsonValue* value = Resolve(*holder_, path, Join::Target);
  if (value == nullptr || value->IsNull()) return kAbsent;
  if (value->IsNumber()) return kNumber;
  if (value->IsString()) return kString;
  if (value->IsArray()) return kArray;
  return kObject;
}

}  // namespace dudivizo::service
