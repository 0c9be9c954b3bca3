#pragma once
// The Qt views of the windows: one frameless, fixed-size QWidget per
// window, one real Qt widget per control, kept in step with the control
// state in both directions. Every widget carries its control's text as its
// accessible name, so screen readers and desktop automation see it.

#include <map>
#include <memory>

#include "ui/view_host.h"

#include <QImage>
#include <string_view>

class QWidget;

namespace dudivizo::ui {

class QtViewHost : public ViewHost {
 public:
  QtViewHost();
  ~QtViewHost() override;

  void Show(Window& window) override;
  void Hide(Window& window) override;
  void Remove(Window& window) override;
  bool IsVisible(const Window& window) const override;
  void ShowOver(Window& window, Window& owner, int dx, int dy) override;
  void Popup(Window& owner, Menu& menu) override;

  // Brings a visible window to the front, restored if minimised; false
  // (and nothing done) for a hidden or missing one.
  bool Raise(const Window* window);

  // The view of `window`, or nullptr (for tests and screenshots).
  QWidget* ViewOf(const Window& window) const;
  // The widget of `control` in `window`'s view, or nullptr.
  QWidget* WidgetOf(const Window& window, const Control& control) const;

 private:
  class View;
  std::map<const Window*, std::unique_ptr<View>> views_;
};

// An embedded picture as a Qt image; null when it is missing or broken.
QImage ImageOf(std::string_view asset);

// The style sheet of the skin: white panels, one orange accent.
const char* SkinStyleSheet();

}  // namespace dudivizo::ui
