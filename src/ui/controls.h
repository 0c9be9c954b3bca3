#pragma once
// Control state objects: what a window's controls show and hold, without
// any drawing. The Qt binding draws them and feeds user input back through
// the User* operations; tests call those directly.
//
// Setting a state from code never runs the control's handler; User* input
// changes the state and then runs it. Setters called on another thread than
// the user-interface thread are posted to it, in call order, and dropped
// when the window has been destroyed by then.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "ui/event_loop.h"

namespace dudivizo::ui {

enum class ControlKind {
  WindowFrame,
  Label,
  Button,
  EditBox,
  CheckBox,
  RadioButton,
  ComboBox,
  ListBox,
  TabControl,
  PictureBox,
  Timer,
};

struct Geometry {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Geometry&) const = default;
};

class Control {
 public:
  Control(ControlKind kind, std::string name, Geometry geometry, std::string designText = {});
  virtual ~Control() = default;
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  const Geometry& geometry() const { return geometry_; }
  const std::string& designText() const { return designText_; }

  const std::string& text() const { return text_; }
  bool enabled() const { return enabled_; }
  bool visible() const { return visible_; }
  void SetText(std::string text);
  void SetEnabled(bool enabled);
  void SetVisible(bool visible);

  // Adds a function called after every change of state, on the
  // user-interface thread (the binding redraws, mirrors copy the state).
  void AddObserver(std::function<void()> observer) { observers_.push_back(std::move(observer)); }
  // Binds the control to its window's loop and life token (done by the window).
  void Attach(EventLoop* loop, const LifeToken* token);

 protected:
  // Runs `change` now on the user-interface thread, else posts it there.
  void Apply(std::function<void()> change);
  void Changed() const;
  EventLoop* loop() const { return loop_; }

 private:
  ControlKind kind_;
  std::string name_;
  Geometry geometry_;
  std::string designText_;
  std::string text_;
  bool enabled_ = true;
  bool visible_ = true;
  std::vector<std::function<void()>> observers_;
  EventLoop* loop_ = nullptr;
  const LifeToken* token_ = nullptr;
};

class Label : public Control {
 public:
  Label(std::string name, Geometry g, std::string designText = {})
      : Control(ControlKind::Label, std::move(name), g, std::move(designText)) {}
};

class PictureBox : public Control {
 public:
  PictureBox(std::string name, Geometry g, std::string picture = {});
  const std::string& picture() const { return picture_; }  // an asset name
  void SetPicture(std::string picture);

 private:
  std::string picture_;
};

class Button : public Control {
 public:
  Button(std::string name, Geometry g, std::string designText = {})
      : Control(ControlKind::Button, std::move(name), g, std::move(designText)) {}
  std::function<void()> onClick;
  // A click by the user: runs onClick when the button is enabled.
  void UserClick();
};

class EditBox : public Control {
 public:
  EditBox(std::string name, Geometry g, std::string designText = {})
      : Control(ControlKind::EditBox, std::move(name), g, std::move(designText)) {}
  bool masked() const { return masked_; }
  void SetMasked(bool masked);

  std::function<void()> onChange;
  std::function<void(bool focused)> onFocus;
  // Returns true when the key was handled and goes no further.
  std::function<bool(int key)> onKey;

  void UserType(std::string text);
  void UserFocus(bool focused);
  bool UserKey(int key);

  static constexpr int kKeyEnter = 13;
  static constexpr int kKeyTab = 9;

 private:
  bool masked_ = false;
};

class CheckBox : public Control {
 public:
  CheckBox(std::string name, Geometry g, std::string designText = {})
      : Control(ControlKind::CheckBox, std::move(name), g, std::move(designText)) {}
  bool checked() const { return checked_; }
  void SetChecked(bool checked);
  std::function<void()> onClick;
  // A click by the user: toggles, then runs onClick.
  void UserClick();

 protected:
  CheckBox(ControlKind kind, std::string name, Geometry g, std::string designText)
      : Control(kind, std::move(name), g, std::move(designText)) {}

 private:
  bool checked_ = false;
};

// A radio button clears the others of its group when the user picks it.
class RadioButton : public CheckBox {
 public:
  RadioButton(std::string name, Geometry g, std::string designText = {})
      : CheckBox(ControlKind::RadioButton, std::move(name), g, std::move(designText)) {}
  void SetGroup(std::vector<RadioButton*> group) { group_ = std::move(group); }
  void UserClick();

 private:
  std::vector<RadioButton*> group_;
};

struct ComboItem {
  std::string text;
  int64_t data = 0;
  bool operator==(const ComboItem&) const = default;
};

class ComboBox : public Control {
 public:
  ComboBox(std::string name, Geometry g, std::string designText = {})
      : Control(ControlKind::ComboBox, std::move(name), g, std::move(designText)) {}
  const std::vector<ComboItem>& items() const { return items_; }
  int selected() const { return selected_; }  // -1: none
  void SetItems(std::vector<ComboItem> items);
  void AddItem(std::string text, int64_t data = 0);
  void Clear();
  void SetSelected(int index);  // out of range selects none
  std::function<void()> onSelect;
  void UserSelect(int index);

 private:
  std::vector<ComboItem> items_;
  int selected_ = -1;
};

struct ListCell {
  std::string text;
  std::string icon;  // an asset name, empty for none
  bool operator==(const ListCell&) const = default;
};

struct ListRow {
  std::vector<ListCell> cells;
  int32_t data = 0;
  uint32_t fontColour = 0;  // 0xRRGGBB; 0 is the default colour
  bool operator==(const ListRow&) const = default;
};

struct ListColumn {
  std::string title;
  int width = 0;
};

class ListBox : public Control {
 public:
  ListBox(std::string name, Geometry g) : Control(ControlKind::ListBox, std::move(name), g) {}
  const std::vector<ListColumn>& columns() const { return columns_; }
  const std::vector<ListRow>& rows() const { return rows_; }
  int selected() const { return selected_; }
  int rowHeight() const { return rowHeight_; }

  void SetColumns(std::vector<ListColumn> columns);
  void SetRowHeight(int height);
  void SetRows(std::vector<ListRow> rows);  // replaces all rows, selects none
  void AddRow(ListRow row);
  void SetCell(int row, int column, ListCell cell);
  void SetRowColour(int row, uint32_t colour);
  void SetSelected(int row);
  // The row that the last change touched alone, -1 when it may have touched
  // every row; lets the binding redraw one row instead of the whole list.
  int changedRow() const { return changedRow_; }

  std::function<void(int row)> onClick;
  std::function<void(int row)> onRightClick;
  void UserClick(int row);
  void UserRightClick(int row);

 private:
  std::vector<ListColumn> columns_;
  std::vector<ListRow> rows_;
  int selected_ = -1;
  int rowHeight_ = 24;
  int changedRow_ = -1;
  void RowChanged(int row);
};

class TabControl : public Control {
 public:
  TabControl(std::string name, Geometry g, std::vector<std::string> tabs);
  const std::vector<std::string>& tabs() const { return tabs_; }
  int current() const { return current_; }
  void SetCurrent(int index);
  std::function<void()> onChange;
  void UserSelect(int index);

 private:
  std::vector<std::string> tabs_;
  int current_ = 0;
};

// A timer ticks on the user-interface thread every period milliseconds;
// a period of 0 stops it.
class Timer : public Control {
 public:
  explicit Timer(std::string name) : Control(ControlKind::Timer, std::move(name), {}) {}
  ~Timer() override;
  int period() const { return period_; }
  void SetPeriod(int ms);
  std::function<void()> onTick;

 private:
  int period_ = 0;
  EventLoop::TimerId id_ = 0;
};

struct MenuEntry {
  std::string caption;  // empty: a separator
  bool enabled = true;
  std::function<void()> onChoose;
};

// A popup menu; the binding shows it, the user's choice runs the entry.
class Menu {
 public:
  explicit Menu(std::string name) : name_(std::move(name)) {}
  const std::string& name() const { return name_; }
  std::vector<MenuEntry>& entries() { return entries_; }
  const std::vector<MenuEntry>& entries() const { return entries_; }
  // Runs the entry when it exists, is not a separator and is enabled.
  void UserChoose(int index);

 private:
  std::string name_;
  std::vector<MenuEntry> entries_;
};

}  // namespace dudivizo::ui
