#include "ui/qt/qt_view_host.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QWidget>

#include "ui/pictures.h"

namespace dudivizo::ui {
namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<int>(s.size())); }

// A text as a control draws it: at most kShownChars characters and an
// ellipsis, so a huge text from the service (a province name of a
// megabyte) cannot make every repaint lay out a megabyte.
constexpr qsizetype kShownChars = 256;
QString Shown(const std::string& s) {
  if (s.size() <= static_cast<size_t>(kShownChars)) return Q(s);
  QString text = Q(s);
  if (text.size() <= kShownChars) return text;
  qsizetype cut = kShownChars;
  if (text.at(cut - 1).isHighSurrogate()) --cut;  // keep a character whole
  return text.left(cut) + QChar(0x2026);
}
std::string S(const QString& s) { return s.toUtf8().toStdString(); }

// The rows of a ListBox, read straight from its state: the view asks only
// for the rows it shows.
class ListModel : public QAbstractTableModel {
 public:
  explicit ListModel(ListBox& list) : list_(list) {}
  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(list_.rows().size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(list_.columns().size());
  }
  QVariant data(const QModelIndex& index, int role) const override {
    const ListRow& row = list_.rows()[static_cast<size_t>(index.row())];
    auto column = static_cast<size_t>(index.column());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
      return column < row.cells.size() ? Shown(row.cells[column].text) : QString();
    if (role == Qt::ForegroundRole && row.fontColour != 0) return QColor(QRgb(row.fontColour));
    if (role == Qt::DecorationRole && column < row.cells.size() && !row.cells[column].icon.empty())
      return Icon(row.cells[column].icon);
    return {};
  }
  QVariant headerData(int section, Qt::Orientation o, int role) const override {
    if (o == Qt::Horizontal && role == Qt::DisplayRole)
      return Q(list_.columns()[static_cast<size_t>(section)].title);
    return {};
  }
  // Follows a change of the list: one row when only one changed, else all.
  void Update() {
    const int row = list_.changedRow();
    if (row >= 0 && row < rowCount({})) {
      emit dataChanged(index(row, 0), index(row, columnCount({}) - 1));
    } else {
      beginResetModel();
      endResetModel();
    }
  }

 private:
  QPixmap Icon(const std::string& asset) const {
    auto it = icons_.find(asset);
    if (it == icons_.end()) it = icons_.emplace(asset, QPixmap::fromImage(ImageOf(asset))).first;
    return it->second;
  }

  ListBox& list_;
  mutable std::map<std::string, QPixmap> icons_;
};

// What assistive technology calls a control: its text, but never the text
// of a masked box (a screen reader would speak the password), and its name
// when there is no text.
std::string AccessibleName(const Control& c) {
  const auto* edit = dynamic_cast<const EditBox*>(&c);
  if (edit != nullptr && edit->masked()) return c.designText().empty() ? c.name() : c.designText();
  return c.text().empty() ? c.name() : c.text();
}

// A row whose first cell alone holds text (a group's header row) draws
// that text across the whole row, so long names are not cut at column 0.
void SpanHeaderRows(const ListBox& list, QTableView* view) {
  view->clearSpans();
  const int columns = static_cast<int>(list.columns().size());
  if (columns < 2) return;
  const auto& rows = list.rows();
  for (size_t r = 0; r < rows.size(); ++r) {
    const auto& cells = rows[r].cells;
    if (cells.empty() || cells[0].text.empty()) continue;
    bool alone = true;
    for (size_t c = 1; c < cells.size() && alone; ++c) alone = cells[c].text.empty();
    if (alone) view->setSpan(static_cast<int>(r), 0, 1, columns);
  }
}

}  // namespace

QImage ImageOf(std::string_view asset) {
  const Picture* picture = AssetPicture(asset);
  if (picture == nullptr) return {};
  QImage image(picture->rgba.data(), picture->width, picture->height, picture->width * 4,
               QImage::Format_RGBA8888);
  return image.copy();  // the picture's pixels stay where they are
}

class QtViewHost::View : public QWidget {
 public:
  explicit View(Window& window) : window_(window) {
    setObjectName(Q(window.name()));
    setWindowFlags(Qt::FramelessWindowHint | Qt::Window);
    setFixedSize(window.width(), window.height());
    setWindowTitle(Q(window.title().empty() ? "Dudivizo" : window.title()));
    setAccessibleName(windowTitle());
    setStyleSheet(SkinStyleSheet());
    for (Control* c : window.controls()) Build(*c);
    window.SetFocusObserver([this] {
      if (QWidget* w = WidgetOf(window_.focus())) w->setFocus();
    });
    SyncPages();
  }

  QWidget* WidgetOf(const Control* control) const {
    auto it = widgets_.find(control);
    return it == widgets_.end() ? nullptr : it->second;
  }

 protected:
  // The window is dragged by its background.
  void mousePressEvent(QMouseEvent* e) override {
    dragFrom_ = e->globalPosition().toPoint() - pos();
  }
  void mouseMoveEvent(QMouseEvent* e) override {
    if (e->buttons() & Qt::LeftButton) move(e->globalPosition().toPoint() - dragFrom_);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    auto* widget = static_cast<QWidget*>(watched);
    auto* edit = dynamic_cast<EditBox*>(ControlOf(widget));
    if (edit == nullptr) return false;
    if (event->type() == QEvent::FocusIn) window_.SetFocus(edit);
    if (event->type() == QEvent::KeyPress) {
      int key = static_cast<QKeyEvent*>(event)->key();
      int code = key == Qt::Key_Tab || key == Qt::Key_Backtab    ? EditBox::kKeyTab
                 : key == Qt::Key_Return || key == Qt::Key_Enter ? EditBox::kKeyEnter
                                                                 : 0;
      if (code != 0) return edit->UserKey(code);
    }
    return false;
  }

 private:
  Control* ControlOf(const QWidget* widget) const {
    for (const auto& [c, w] : widgets_) {
      if (w == widget) return const_cast<Control*>(c);
    }
    return nullptr;
  }

  void Place(Control& c, QWidget* w) {
    Geometry g = c.geometry();
    Window::Placement p = window_.PlacementOf(&c);
    if (p.tab) {
      g.x += p.tab->geometry().x;
      g.y += p.tab->geometry().y;
    }
    w->setGeometry(g.x, g.y, g.width, g.height);
    w->setObjectName(Q(c.name()));
    widgets_[&c] = w;
  }

  void Sync(Control& c, QWidget* w) {
    w->setEnabled(c.enabled());
    w->setAccessibleName(Shown(AccessibleName(c)));
    Window::Placement p = window_.PlacementOf(&c);
    w->setVisible(c.visible() && (!p.tab || p.tab->current() == p.page));
  }

  void SyncPages() {
    for (const auto& [c, w] : widgets_) Sync(*const_cast<Control*>(c), w);
  }

  template <typename W>
  W* Add(Control& c, W* w) {
    Place(c, w);
    c.AddObserver([this, &c, w] { Sync(c, w); });
    return w;
  }

  void Build(Control& c) {
    switch (c.kind()) {
      case ControlKind::WindowFrame:
      case ControlKind::Timer:
        return;
      case ControlKind::Label: {
        auto* w = Add(c, new QLabel(this));
        w->setText(Shown(c.text()));
        c.AddObserver([&c, w] { w->setText(Shown(c.text())); });
        return;
      }
      case ControlKind::PictureBox: {
        auto& box = static_cast<PictureBox&>(c);
        auto* w = Add(c, new QLabel(this));
        w->setScaledContents(true);
        auto draw = [&box, w] {
          QImage image = ImageOf(box.picture());
          w->setPixmap(image.isNull() ? QPixmap() : QPixmap::fromImage(image));
        };
        draw();
        c.AddObserver(draw);
        return;
      }
      case ControlKind::Button: {
        auto& b = static_cast<Button&>(c);
        auto* w = Add(c, new QPushButton(Q(c.text()), this));
        w->setCursor(Qt::PointingHandCursor);
        QObject::connect(w, &QPushButton::clicked, [&b] { b.UserClick(); });
        c.AddObserver([&c, w] { w->setText(Q(c.text())); });
        return;
      }
      case ControlKind::EditBox: {
        auto& e = static_cast<EditBox&>(c);
        auto* w = Add(c, new QLineEdit(Q(c.text()), this));
        if (!c.designText().empty()) w->setPlaceholderText(Q(c.designText()));
        w->setEchoMode(e.masked() ? QLineEdit::Password : QLineEdit::Normal);
        w->installEventFilter(this);
        QObject::connect(w, &QLineEdit::textEdited, [&e](const QString& t) { e.UserType(S(t)); });
        c.AddObserver([&e, w] {
          if (S(w->text()) != e.text()) w->setText(Q(e.text()));
          w->setEchoMode(e.masked() ? QLineEdit::Password : QLineEdit::Normal);
        });
        return;
      }
      case ControlKind::CheckBox:
      case ControlKind::RadioButton: {
        auto& box = static_cast<CheckBox&>(c);
        QAbstractButton* w = c.kind() == ControlKind::CheckBox
                                 ? static_cast<QAbstractButton*>(new QCheckBox(Q(c.text()), this))
                                 : new QRadioButton(Q(c.text()), this);
        w->setAutoExclusive(false);  // the state object keeps radio groups
        w->setChecked(box.checked());
        Add(c, w);
        QObject::connect(w, &QAbstractButton::clicked, [&c] {
          if (c.kind() == ControlKind::RadioButton) {
            static_cast<RadioButton&>(c).UserClick();
          } else {
            static_cast<CheckBox&>(c).UserClick();
          }
        });
        c.AddObserver([&box, w] {
          w->setText(Q(box.text()));
          w->setChecked(box.checked());
        });
        return;
      }
      case ControlKind::ComboBox: {
        auto& combo = static_cast<ComboBox&>(c);
        auto* w = Add(c, new QComboBox(this));
        w->setPlaceholderText(Q(c.designText()));
        auto fill = [&combo, w] {
          QSignalBlocker block(w);
          w->clear();
          for (const ComboItem& item : combo.items()) w->addItem(Shown(item.text));
          w->setCurrentIndex(combo.selected());
        };
        fill();
        QObject::connect(w, &QComboBox::activated, [&combo](int i) { combo.UserSelect(i); });
        c.AddObserver(fill);
        return;
      }
      case ControlKind::ListBox: {
        auto& list = static_cast<ListBox&>(c);
        auto* w = Add(c, new QTableView(this));
        auto* model = new ListModel(list);
        model->setParent(w);
        w->setModel(model);
        w->setSelectionBehavior(QAbstractItemView::SelectRows);
        w->setSelectionMode(QAbstractItemView::SingleSelection);
        w->verticalHeader()->hide();
        w->setShowGrid(false);
        w->setIconSize(QSize(16, 16));
        w->setEditTriggers(QAbstractItemView::NoEditTriggers);
        w->setAlternatingRowColors(false);
        w->setContextMenuPolicy(Qt::CustomContextMenu);
        auto layout = [&list, w, model] {
          model->Update();
          if (list.changedRow() >= 0) return;
          w->verticalHeader()->setDefaultSectionSize(list.rowHeight());
          for (size_t i = 0; i < list.columns().size(); ++i)
            w->setColumnWidth(static_cast<int>(i), list.columns()[i].width);
          if (list.selected() >= 0) w->selectRow(list.selected());
          SpanHeaderRows(list, w);
        };
        layout();
        QObject::connect(w, &QTableView::clicked,
                         [&list](const QModelIndex& i) { list.UserClick(i.row()); });
        QObject::connect(w, &QWidget::customContextMenuRequested,
                         [&list, w](const QPoint& p) { list.UserRightClick(w->indexAt(p).row()); });
        c.AddObserver(layout);
        return;
      }
      case ControlKind::TabControl: {
        // The pages are switched by the window's own buttons; the tab control
        // itself draws no tab bar, only its pages.
        c.AddObserver([this] { SyncPages(); });
        return;
      }
    }
  }

  Window& window_;
  std::map<const Control*, QWidget*> widgets_;
  QPoint dragFrom_;
};

QtViewHost::QtViewHost() = default;
QtViewHost::~QtViewHost() = default;

void QtViewHost::Show(Window& window) {
  auto& view = views_[&window];
  if (!view) view = std::make_unique<View>(window);
  view->show();
  view->raise();
  view->activateWindow();
}

void QtViewHost::ShowOver(Window& window, Window& owner, int dx, int dy) {
  auto& view = views_[&window];
  if (!view) view = std::make_unique<View>(window);
  // Modal for the whole program; not a Qt child of the owner, whose view
  // may go first.
  view->setWindowModality(Qt::ApplicationModal);
  if (QWidget* o = ViewOf(owner)) view->move(o->pos() + QPoint(dx, dy));
  view->show();
  view->raise();
}

void QtViewHost::Popup(Window& owner, Menu& menu) {
  auto* popup = new QMenu(ViewOf(owner));
  popup->setAttribute(Qt::WA_DeleteOnClose);
  const auto& entries = menu.entries();
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries[i].caption.empty()) {
      popup->addSeparator();
      continue;
    }
    QAction* action = popup->addAction(Q(entries[i].caption));
    action->setEnabled(entries[i].enabled);
    QObject::connect(action, &QAction::triggered,
                     [&menu, i] { menu.UserChoose(static_cast<int>(i)); });
  }
  popup->popup(QCursor::pos());
}

void QtViewHost::Hide(Window& window) {
  if (QWidget* v = ViewOf(window)) v->hide();
}

void QtViewHost::Remove(Window& window) { views_.erase(&window); }

bool QtViewHost::IsVisible(const Window& window) const {
  QWidget* v = ViewOf(window);
  return v && v->isVisible();
}

bool QtViewHost::Raise(const Window* window) {
  QWidget* v = window ? ViewOf(*window) : nullptr;
  if (v == nullptr || !v->isVisible()) return false;
  if (v->isMinimized()) v->showNormal();
  v->raise();
  v->activateWindow();
  return true;
}

QWidget* QtViewHost::ViewOf(const Window& window) const {
  auto it = views_.find(&window);
  return it == views_.end() ? nullptr : it->second.get();
}

QWidget* QtViewHost::WidgetOf(const Window& window, const Control& control) const {
  auto it = views_.find(&window);
  return it == views_.end() ? nullptr : it->second->WidgetOf(&control);
}

const char* SkinStyleSheet() {
  return R"(
    QWidget { font-family: "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif; font-size: 13px;
              color: #333333; }
    QWidget#LoginWindow, QWidget#MainWindow, QWidget#ConfirmWindow, QWidget#AdapterWindow {
              background: #ffffff; border: 1px solid #f99f08; }
    QPushButton { background: #f99f08; color: white; border: none; border-radius: 4px; padding: 2px 8px; }
    QPushButton:hover { background: #ffb02e; }
    QPushButton:disabled { background: #f5d39a; }
    QPushButton#按钮_关闭, QPushButton#按钮_最小化 { background: transparent; color: #999999; padding: 0; }
    QLineEdit, QComboBox { border: 1px solid #dddddd; border-radius: 4px; padding: 0 8px; background: white; }
    QLineEdit:focus, QComboBox:focus { border-color: #f99f08; }
    QLabel#标签_登录标题, QLabel#标签_用户名1 { font-size: 26px; font-weight: bold; color: #f99f08; }
    QLabel#标签_状态 { color: #d9534f; }
    QTableView { border: 1px solid #eeeeee; selection-background-color: #fff1da; selection-color: #000000;
                 font-family: "Microsoft YaHei", "WenQuanYi Micro Hei", sans-serif; font-size: 16px;
                 color: #000000; }
    QHeaderView::section { background: #fafafa; border: none; border-bottom: 1px solid #eeeeee; padding: 4px;
                           font-size: 15px; font-weight: bold; color: #000000; }
    QTabBar::tab { padding: 4px 16px; border: none; }
    QTabBar::tab:selected { color: #f99f08; border-bottom: 2px solid #f99f08; }
    QCheckBox::indicator:checked, QRadioButton::indicator:checked { background: #f99f08; }
  )";
}

}  // namespace dudivizo::ui
