#pragma once
// What the shell asks of the windowing system: show, hide and remove the
// view of a window. The Qt binding implements it; tests record the calls.

#include "ui/window.h"

namespace dudivizo::ui {

class ViewHost {
 public:
  virtual ~ViewHost() = default;
  // Creates the window's view if needed and shows it.
  virtual void Show(Window& window) = 0;
  virtual void Hide(Window& window) = 0;
  // Removes the view; called before the window itself is destroyed.
  virtual void Remove(Window& window) = 0;
  virtual bool IsVisible(const Window& window) const = 0;
  // Shows `window` modally over `owner`, `dx`, `dy` pixels from its top-left.
  virtual void ShowOver(Window& window, Window& owner, int dx, int dy) = 0;
  // Pops `menu` up at the mouse position, owned by `owner`'s view; the
  // user's choice runs through Menu::UserChoose.
  virtual void Popup(Window& owner, Menu& menu) = 0;
};

}  // namespace dudivizo::ui
