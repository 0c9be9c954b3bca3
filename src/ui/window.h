#pragma once
// A top-level window: its design (name, size, title) and its controls in
// design order. The window owns the life token that its controls' posted
// writes check, so work aimed at a destroyed window is dropped.

#include <string>
#include <vector>

#include "ui/controls.h"
#include "ui/event_loop.h"

namespace dudivizo::ui {

class Window {
 public:
  Window(EventLoop& loop, std::string name, int width, int height, std::string title = {});
  virtual ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  const std::string& name() const { return name_; }
  const std::string& title() const { return title_; }
  int width() const { return width_; }
  int height() const { return height_; }
  EventLoop& loop() const { return loop_; }
  const LifeToken& token() const { return token_; }
  const std::vector<Control*>& controls() const { return controls_; }
  Control* Find(const std::string& name) const;

  // Where a control sits on a tab control's page; positions of such
  // controls are relative to the tab control.
  struct Placement {
    TabControl* tab = nullptr;
    int page = -1;
  };
  Placement PlacementOf(const Control* control) const;

  // The control that has the keyboard focus (nullptr for none). Moving the
  // focus runs the focus handlers of the edit boxes it leaves and enters.
  Control* focus() const { return focus_; }
  void SetFocus(Control* control);
  // The binding is told when code moves the focus.
  void SetFocusObserver(std::function<void()> observer) { focusObserver_ = std::move(observer); }

 protected:
  // Registers the controls, in design order, and binds them to the loop.
  void Register(std::initializer_list<Control*> controls);
  void RegisterPage(TabControl* tab, int page, std::initializer_list<Control*> controls);

 private:
  EventLoop& loop_;
  std::string name_;
  int width_;
  int height_;
  std::string title_;
  LifeToken token_;
  std::vector<Control*> controls_;
  std::vector<std::pair<const Control*, Placement>> placements_;
  Control* focus_ = nullptr;
  std::function<void()> focusObserver_;
};

}  // namespace dudivizo::ui
