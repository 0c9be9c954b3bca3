#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>

#include "ui/adapter_window.h"
#include "ui/login_window.h"
#include "ui/main_window.h"
#include "ui/qt/qt_event_loop.h"
#include "ui/qt/qt_view_host.h"

namespace dudivizo::ui {
namespace {

class QtViewTest : public ::testing::Test {
 protected:
  template <typename W>
  W* Widget(Window& window, Control& control) {
    return qobject_cast<W*>(views_.WidgetOf(window, control));
  }
  QtEventLoop loop_;
  QtViewHost views_;
};

TEST_F(QtViewTest, WindowIsFramelessAtItsDesignSizeWithControlsInPlace) {
  LoginWindow w(loop_);
  views_.Show(w);
  QWidget* view = views_.ViewOf(w);
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->size(), QSize(380, 360));
  EXPECT_TRUE(view->windowFlags() & Qt::FramelessWindowHint);
  auto* button = Widget<QPushButton>(w, w.按钮_登录);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->geometry(), QRect(35, 272, 310, 45));
  EXPECT_EQ(button->text(), QString("登录"));
}

TEST_F(QtViewTest, AdapterWindowHasItsTitleAndChoices) {
  AdapterWindow w(loop_);
  w.组合框_网卡组.SetItems({{"eth0", 0}, {"wlan0", 0}});
  w.组合框_网卡组.SetSelected(1);
  views_.Show(w);
  EXPECT_EQ(views_.ViewOf(w)->size(), QSize(323, 197));
  EXPECT_EQ(views_.ViewOf(w)->windowTitle(), QString("请选择要禁用的网卡"));
  auto* box = Widget<QComboBox>(w, w.组合框_网卡组);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->count(), 2);
  EXPECT_EQ(box->currentText(), QString("wlan0"));
  views_.Remove(w);
}

TEST_F(QtViewTest, UserInputReachesTheStateAndCodeReachesTheWidgets) {
  LoginWindow w(loop_);
  int clicks = 0;
  w.按钮_登录.onClick = [&] { ++clicks; };
  views_.Show(w);
  auto* account = Widget<QLineEdit>(w, w.编辑框_账号);
  QTest::keyClicks(account, "demo");
  EXPECT_EQ(w.编辑框_账号.text(), "demo");
  QTest::mouseClick(Widget<QPushButton>(w, w.按钮_登录), Qt::LeftButton);
  EXPECT_EQ(clicks, 1);
  QTest::mouseClick(Widget<QCheckBox>(w, w.选择框_记住密码), Qt::LeftButton);
  EXPECT_TRUE(w.选择框_记住密码.checked());

  w.按钮_登录.SetText("登录中..");
  w.按钮_登录.SetEnabled(false);
  w.编辑框_密码.SetMasked(true);
  w.编辑框_密码.SetText("secret");
  w.标签_状态.SetText("数据错误");
  EXPECT_EQ(Widget<QPushButton>(w, w.按钮_登录)->text(), QString("登录中.."));
  EXPECT_FALSE(Widget<QPushButton>(w, w.按钮_登录)->isEnabled());
  EXPECT_EQ(Widget<QLineEdit>(w, w.编辑框_密码)->echoMode(), QLineEdit::Password);
  EXPECT_EQ(Widget<QLineEdit>(w, w.编辑框_密码)->text(), QString("secret"));
  EXPECT_EQ(Widget<QLabel>(w, w.标签_状态)->accessibleName(), QString("数据错误"));
  EXPECT_EQ(clicks, 1);  // code never ran the handler
}

TEST_F(QtViewTest, ControlsReachTheAccessibilityInterface) {
  LoginWindow w(loop_);
  w.选择框_记住密码.SetChecked(true);
  w.按钮_登录.SetEnabled(false);
  views_.Show(w);
  QAccessibleInterface* button =
      QAccessible::queryAccessibleInterface(Widget<QPushButton>(w, w.按钮_登录));
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(QAccessible::Name), QString("登录"));
  EXPECT_TRUE(button->state().disabled);
  QAccessibleInterface* box =
      QAccessible::queryAccessibleInterface(Widget<QCheckBox>(w, w.选择框_记住密码));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->text(QAccessible::Name), QString("记住密码"));
  EXPECT_TRUE(box->state().checked);
  w.标签_状态.SetText("数据错误");
  QAccessibleInterface* label =
      QAccessible::queryAccessibleInterface(Widget<QLabel>(w, w.标签_状态));
  EXPECT_EQ(label->text(QAccessible::Name), QString("数据错误"));
  // A masked box never tells its text.
  w.编辑框_密码.SetMasked(true);
  w.编辑框_密码.SetText("secret");
  QAccessibleInterface* password =
      QAccessible::queryAccessibleInterface(Widget<QLineEdit>(w, w.编辑框_密码));
  EXPECT_FALSE(password->text(QAccessible::Name).contains("secret"));
  EXPECT_FALSE(password->text(QAccessible::Value).contains("secret"));
}

TEST_F(QtViewTest, TabAndEnterGoToTheEditBoxHandlers) {
  LoginWindow w(loop_);
  int keys = 0;
  w.编辑框_密码.onKey = [&](int key) {
    keys += key == EditBox::kKeyEnter;
    return true;
  };
  views_.Show(w);
  QTest::keyClick(Widget<QLineEdit>(w, w.编辑框_密码), Qt::Key_Return);
  EXPECT_EQ(keys, 1);
}

TEST_F(QtViewTest, TabPagesShowTheirControlsOnly) {
  MainWindow w(loop_);
  views_.Show(w);
  QWidget* connect = views_.WidgetOf(w, w.按钮_连接);
  QWidget* pptp = views_.WidgetOf(w, w.单选框_PPTP);
  ASSERT_TRUE(connect && pptp);
  EXPECT_EQ(views_.ViewOf(w)->size(), QSize(900, 550));
  EXPECT_TRUE(connect->isVisible());
  EXPECT_FALSE(pptp->isVisible());
  w.选择夹EX1.SetCurrent(MainWindow::kSettingsPage);
  EXPECT_FALSE(connect->isVisible());
  EXPECT_TRUE(pptp->isVisible());
  EXPECT_EQ(connect->geometry().topLeft(), QPoint(200 + 464, 56 + 343));
}

TEST_F(QtViewTest, ListRowsComeFromTheState) {
  MainWindow w(loop_);
  w.超级列表框EX1.SetColumns({{"名称", 300}, {"运营商", 120}});
  std::vector<ListRow> rows;
  for (int i = 0; i < 100000; ++i)
    rows.push_back({{{"深圳" + std::to_string(i), ""}, {"电信", ""}}, i, 0});
  w.超级列表框EX1.SetRows(std::move(rows));
  views_.Show(w);
  auto* table = qobject_cast<QTableView*>(views_.WidgetOf(w, w.超级列表框EX1));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->model()->rowCount(), 100000);
  EXPECT_EQ(table->model()->index(99999, 0).data().toString(), QString("深圳99999"));
  EXPECT_EQ(table->model()->headerData(1, Qt::Horizontal).toString(), QString("运营商"));
  views_.Remove(w);  // a view goes before its window, as the shell does it
}

TEST_F(QtViewTest, MarkedRowsRedrawAloneWithIconAndColour) {
  MainWindow w(loop_);
  w.超级列表框EX1.SetColumns({{"", 60}, {"名称", 300}});
  w.超级列表框EX1.SetRows(
      {{{{}, {"深圳", ""}}, 1, 0}, {{{}, {"广州", ""}}, 2, 0}, {{{"内蒙古自治区", ""}, {}}, 3, 0}});
  int clicked = -1;
  w.超级列表框EX1.onClick = [&](int row) { clicked = row; };
  views_.Show(w);
  auto* table = qobject_cast<QTableView*>(views_.WidgetOf(w, w.超级列表框EX1));
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->columnSpan(2, 0), 2);  // a header row draws across the row
  EXPECT_EQ(table->columnSpan(1, 0), 1);
  QSignalSpy resets(table->model(), &QAbstractItemModel::modelReset);
  QSignalSpy changes(table->model(), &QAbstractItemModel::dataChanged);
  w.超级列表框EX1.SetCell(1, 0, {"", "marker.png"});
  w.超级列表框EX1.SetRowColour(1, 0xF99F08);
  EXPECT_EQ(resets.count(), 0);
  EXPECT_EQ(changes.count(), 2);
  const QPixmap icon = table->model()->index(1, 0).data(Qt::DecorationRole).value<QPixmap>();
  EXPECT_EQ(icon.size(), QSize(16, 16));
  EXPECT_EQ(table->model()->index(1, 1).data(Qt::ForegroundRole).value<QColor>(),
            QColor(249, 159, 8));
  EXPECT_FALSE(table->model()->index(0, 0).data(Qt::DecorationRole).isValid());

  QTest::mouseClick(table->viewport(), Qt::LeftButton, {},
                    table->visualRect(table->model()->index(1, 1)).center());
  EXPECT_EQ(clicked, 1);
  views_.Remove(w);
}

TEST_F(QtViewTest, HugeTextsAreDrawnShortened) {
  MainWindow w(loop_);
  const std::string huge(1 << 20, 'x');
  w.超级列表框EX1.SetColumns({{"", 60}, {"名称", 300}});
  w.超级列表框EX1.SetRows({{{{huge, ""}, {}}, 1, 0}});
  w.组合框_选择区域.SetItems({{huge, 1}});
  w.标签_已选线路.SetText("已选线路：" + huge);
  views_.Show(w);
  auto* table = qobject_cast<QTableView*>(views_.WidgetOf(w, w.超级列表框EX1));
  const QString cell = table->model()->index(0, 0).data().toString();
  EXPECT_EQ(cell.size(), 257);
  EXPECT_TRUE(cell.endsWith(QChar(0x2026)));
  EXPECT_LE(Widget<QComboBox>(w, w.组合框_选择区域)->itemText(0).size(), 257);
  EXPECT_LE(Widget<QLabel>(w, w.标签_已选线路)->text().size(), 257);
  EXPECT_EQ(w.标签_已选线路.text().size(), huge.size() + 15);  // the state keeps it whole
  views_.Remove(w);
}

TEST_F(QtViewTest, MenuPopsUpWithItsEntriesAndRunsTheChoice) {
  MainWindow w(loop_);
  views_.Show(w);
  auto& entries = w._右键菜单.entries();
  int refreshed = 0;
  entries[0].onChoose = [&] { ++refreshed; };
  entries[9].enabled = false;
  views_.Popup(w, w._右键菜单);
  auto* menu = views_.ViewOf(w)->findChild<QMenu*>();
  ASSERT_NE(menu, nullptr);
  const QList<QAction*> actions = menu->actions();
  ASSERT_EQ(actions.size(), 11);
  EXPECT_TRUE(actions[1]->isSeparator());
  EXPECT_EQ(actions[9]->text(), QString("加入收藏(&S)"));
  EXPECT_FALSE(actions[9]->isEnabled());
  actions[0]->trigger();
  EXPECT_EQ(refreshed, 1);
  views_.Remove(w);  // takes the menu with it
}

TEST_F(QtViewTest, QtLoopRunsPostsFromOtherThreadsInOrder) {
  std::vector<int> seen;
  std::thread worker([&] {
    for (int i = 0; i < 50; ++i) loop_.Post([&seen, i] { seen.push_back(i); });
    loop_.PostAndWait([&] { seen.push_back(-1); });
  });
  loop_.RunUntil([&] { return seen.size() == 51; });
  worker.join();
  ASSERT_EQ(seen.size(), 51u);
  EXPECT_EQ(seen[0], 0);
  EXPECT_EQ(seen[49], 49);
  EXPECT_EQ(seen[50], -1);
  int ticks = 0;
  auto id = loop_.StartTimer(10, [&] { ++ticks; });
  loop_.Pause(100);
  loop_.StopTimer(id);
  EXPECT_GE(ticks, 3);
}

}  // namespace
}  // namespace dudivizo::ui

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
