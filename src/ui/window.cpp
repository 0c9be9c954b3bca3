#include "ui/window.h"

namespace dudivizo::ui {

Window::Window(EventLoop& loop, std::string name, int width, int height, std::string title)
    : loop_(loop),
      name_(std::move(name)),
      width_(width),
      height_(height),
      title_(std::move(title)) {}

Window::~Window() { token_.Expire(); }

void Window::Register(std::initializer_list<Control*> controls) {
  for (Control* c : controls) {
    c->Attach(&loop_, &token_);
    controls_.push_back(c);
  }
}

void Window::RegisterPage(TabControl* tab, int page, std::initializer_list<Control*> controls) {
  Register(controls);
  for (Control* c : controls) placements_.push_back({c, Placement{tab, page}});
}

Window::Placement Window::PlacementOf(const Control* control) const {
  for (const auto& [c, placement] : placements_) {
    if (c == control) return placement;
  }
  return {};
}

Control* Window::Find(const std::string& name) const {
  for (Control* c : controls_) {
    if (c->name() == name) return c;
  }
  return nullptr;
}

void Window::SetFocus(Control* control) {
  if (control == focus_) return;
  Control* old = focus_;
  focus_ = control;
  if (auto* edit = dynamic_cast<EditBox*>(old)) edit->UserFocus(false);
  if (auto* edit = dynamic_cast<EditBox*>(control)) edit->UserFocus(true);
  if (focusObserver_) focusObserver_();
}

}  // namespace dudivizo::ui
