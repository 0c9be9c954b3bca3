#include "ui/controls.h"

namespace dudivizo::ui {

Control::Control(ControlKind kind, std::string name, Geometry geometry, std::string designText)
    : kind_(kind),
      name_(std::move(name)),
      geometry_(geometry),
      designText_(std::move(designText)),
      text_(designText_) {}

void Control::Attach(EventLoop* loop, const LifeToken* token) {
  loop_ = loop;
  token_ = token;
}

void Control::Apply(std::function<void()> change) {
  if (loop_ && token_ && !loop_->IsUiThread()) {
    loop_->PostFor(*token_, std::move(change));
  } else {
    change();
  }
}

void Control::Changed() const {
  for (const auto& observer : observers_) observer();
}

void Control::SetText(std::string text) {
  Apply([this, text = std::move(text)]() mutable {
    if (text_ == text) return;
    text_ = std::move(text);
    Changed();
  });
}

void Control::SetEnabled(bool enabled) {
  Apply([this, enabled] {
    if (enabled_ == enabled) return;
    enabled_ = enabled;
    Changed();
  });
}

void Control::SetVisible(bool visible) {
  Apply([this, visible] {
    if (visible_ == visible) return;
    visible_ = visible;
    Changed();
  });
}

PictureBox::PictureBox(std::string name, Geometry g, std::string picture)
    : Control(ControlKind::PictureBox, std::move(name), g), picture_(std::move(picture)) {}

void PictureBox::SetPicture(std::string picture) {
  Apply([this, picture = std::move(picture)]() mutable {
    picture_ = std::move(picture);
    Changed();
  });
}

void Button::UserClick() {
  if (enabled() && onClick) onClick();
}

void EditBox::SetMasked(bool masked) {
  Apply([this, masked] {
    masked_ = masked;
    Changed();
  });
}

void EditBox::UserType(std::string text) {
  if (!enabled()) return;
  SetText(std::move(text));
  if (onChange) onChange();
}

void EditBox::UserFocus(bool focused) {
  if (onFocus) onFocus(focused);
}

bool EditBox::UserKey(int key) { return onKey ? onKey(key) : false; }

void CheckBox::SetChecked(bool checked) {
  Apply([this, checked] {
    if (checked_ == checked) return;
    checked_ = checked;
    Changed();
  });
}

void CheckBox::UserClick() {
  if (!enabled()) return;
  SetChecked(!checked_);
  if (onClick) onClick();
}

void RadioButton::UserClick() {
  if (!enabled()) return;
  for (RadioButton* other : group_) {
    if (other != this) other->SetChecked(false);
  }
  SetChecked(true);
  if (onClick) onClick();
}

void ComboBox::SetItems(std::vector<ComboItem> items) {
  Apply([this, items = std::move(items)]() mutable {
    items_ = std::move(items);
    selected_ = -1;
    Changed();
  });
}

void ComboBox::AddItem(std::string text, int64_t data) {
  Apply([this, text = std::move(text), data]() mutable {
    items_.push_back({std::move(text), data});
    Changed();
  });
}

void ComboBox::Clear() { SetItems({}); }

void ComboBox::SetSelected(int index) {
  Apply([this, index] {
    selected_ = index >= 0 && index < static_cast<int>(items_.size()) ? index : -1;
    Changed();
  });
}

void ComboBox::UserSelect(int index) {
  if (!enabled() || index < 0 || index >= static_cast<int>(items_.size())) return;
  SetSelected(index);
  if (onSelect) onSelect();
}

void ListBox::SetColumns(std::vector<ListColumn> columns) {
  Apply([this, columns = std::move(columns)]() mutable {
    columns_ = std::move(columns);
    Changed();
  });
}

void ListBox::SetRowHeight(int height) {
  Apply([this, height] {
    rowHeight_ = height;
    Changed();
  });
}

void ListBox::SetRows(std::vector<ListRow> rows) {
  Apply([this, rows = std::move(rows)]() mutable {
    rows_ = std::move(rows);
    selected_ = -1;
    Changed();
  });
}

void ListBox::AddRow(ListRow row) {
  Apply([this, row = std::move(row)]() mutable {
    rows_.push_back(std::move(row));
    Changed();
  });
}

void ListBox::SetCell(int row, int column, ListCell cell) {
  Apply([this, row, column, cell = std::move(cell)]() mutable {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || column < 0) return;
    auto& cells = rows_[static_cast<size_t>(row)].cells;
    if (static_cast<size_t>(column) >= cells.size()) cells.resize(static_cast<size_t>(column) + 1);
    cells[static_cast<size_t>(column)] = std::move(cell);
    RowChanged(row);
  });
}

void ListBox::SetRowColour(int row, uint32_t colour) {
  Apply([this, row, colour] {
    if (row < 0 || row >= static_cast<int>(rows_.size())) return;
    rows_[static_cast<size_t>(row)].fontColour = colour;
    RowChanged(row);
  });
}

void ListBox::RowChanged(int row) {
  changedRow_ = row;
  Changed();
  changedRow_ = -1;
}

void ListBox::SetSelected(int row) {
  Apply([this, row] {
    selected_ = row >= 0 && row < static_cast<int>(rows_.size()) ? row : -1;
    Changed();
  });
}

void ListBox::UserClick(int row) {
  if (!enabled() || row < 0 || row >= static_cast<int>(rows_.size())) return;
  SetSelected(row);
  if (onClick) onClick(row);
}

void ListBox::UserRightClick(int row) {
  if (!enabled()) return;
  if (onRightClick) onRightClick(row);
}

TabControl::TabControl(std::string name, Geometry g, std::vector<std::string> tabs)
    : Control(ControlKind::TabControl, std::move(name), g), tabs_(std::move(tabs)) {}

void TabControl::SetCurrent(int index) {
  Apply([this, index] {
    if (index < 0 || index >= static_cast<int>(tabs_.size()) || index == current_) return;
    current_ = index;
    Changed();
  });
}

void TabControl::UserSelect(int index) {
  if (index < 0 || index >= static_cast<int>(tabs_.size())) return;
  SetCurrent(index);
  if (onChange) onChange();
}

Timer::~Timer() {
  if (id_ != 0 && loop()) loop()->StopTimer(id_);
}

void Timer::SetPeriod(int ms) {
  Apply([this, ms] {
    period_ = ms > 0 ? ms : 0;
    if (!loop()) return;
    if (id_ != 0) loop()->StopTimer(id_);
    id_ = loop()->StartTimer(period_, [this] {
      if (onTick) onTick();
    });
  });
}

void Menu::UserChoose(int index) {
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  const MenuEntry& entry = entries_[static_cast<size_t>(index)];
  if (entry.caption.empty() || !entry.enabled || !entry.onChoose) return;
  entry.onChoose();
}

}  // namespace dudivizo::ui
