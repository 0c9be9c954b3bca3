#include "ui/controls.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/fake_event_loop.h"

namespace dudivizo::ui {
namespace {

TEST(Controls, CodeNeverRunsHandlersButUserInputDoes) {
  Button button("按钮_登录", {150, 260, 80, 30}, "登录");
  CheckBox box("选择框_记住密码", {}, "记住密码");
  EditBox edit("编辑框_账号", {});
  ComboBox combo("组合框_选择区域", {}, "请选择区域");
  int clicks = 0, toggles = 0, edits = 0, picks = 0;
  button.onClick = [&] { ++clicks; };
  box.onClick = [&] { ++toggles; };
  edit.onChange = [&] { ++edits; };
  combo.onSelect = [&] { ++picks; };

  EXPECT_EQ(button.text(), "登录");  // the design text is the first text
  box.SetChecked(true);
  edit.SetText("demo");
  combo.AddItem("广东", 19);
  combo.SetSelected(0);
  EXPECT_EQ(clicks + toggles + edits + picks, 0);

  button.UserClick();
  box.UserClick();
  edit.UserType("demo2");
  combo.UserSelect(0);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(box.checked());
  EXPECT_EQ(toggles, 1);
  EXPECT_EQ(edit.text(), "demo2");
  EXPECT_EQ(edits, 1);
  EXPECT_EQ(picks, 1);

  button.SetEnabled(false);
  button.UserClick();
  EXPECT_EQ(clicks, 1);  // a disabled button ignores clicks
}

TEST(Controls, RadioGroupKeepsOneChecked) {
  RadioButton pptp("单选框_PPTP", {}, "PPTP"), l2tp("单选框_L2TP", {}, "L2TP"),
      sstp("单选框_SSTP", {}, "SSTP");
  for (RadioButton* r : {&pptp, &l2tp, &sstp}) r->SetGroup({&pptp, &l2tp, &sstp});
  pptp.SetChecked(true);
  sstp.UserClick();
  EXPECT_FALSE(pptp.checked());
  EXPECT_FALSE(l2tp.checked());
  EXPECT_TRUE(sstp.checked());
}

TEST(Controls, ComboAndListKeepItemDataAndRangeCheckSelection) {
  ComboBox combo("组合框_选择区域", {});
  combo.SetItems({{"全部", 0}, {"北京", 1}});
  combo.SetSelected(5);
  EXPECT_EQ(combo.selected(), -1);
  combo.SetSelected(1);
  EXPECT_EQ(combo.items()[1].data, 1);

  ListBox list("超级列表框EX1", {5, 5, 680, 305});
  list.SetColumns({{"名称", 200}, {"运营商", 100}});
  list.SetRows({{{{"深圳", "marker"}, {"电信", ""}}, 0x00010001, 0}});
  list.SetCell(0, 3, {"x", ""});
  list.SetCell(7, 0, {"ignored", ""});
  ASSERT_EQ(list.rows().size(), 1u);
  EXPECT_EQ(list.rows()[0].cells.size(), 4u);
  EXPECT_EQ(list.rows()[0].data, 0x00010001);
  int clicked = -2;
  list.onClick = [&](int row) { clicked = row; };
  list.UserClick(3);
  EXPECT_EQ(clicked, -2);
  list.UserClick(0);
  EXPECT_EQ(clicked, 0);
  EXPECT_EQ(list.selected(), 0);
}

TEST(Controls, MenuRunsOnlyEnabledEntries) {
  Menu menu("_右键菜单");
  int chosen = 0;
  menu.entries() = {{"刷新列表", true, [&] { chosen = 1; }},
                    {"", true, [&] { chosen = 2; }},
                    {"连接", false, [&] { chosen = 3; }}};
  menu.UserChoose(1);
  menu.UserChoose(2);
  menu.UserChoose(9);
  EXPECT_EQ(chosen, 0);
  menu.UserChoose(0);
  EXPECT_EQ(chosen, 1);
}

TEST(Controls, WorkerWritesArePostedInOrderAndDroppedAfterTheWindowIsGone) {
  FakeEventLoop loop;
  auto token = std::make_unique<LifeToken>();
  Label status("标签_状态", {});
  Button login("按钮_登录", {}, "登录");
  status.Attach(&loop, token.get());
  login.Attach(&loop, token.get());
  std::vector<std::string> shown;
  status.AddObserver([&] { shown.push_back(status.text()); });
  std::thread worker([&] {
    login.SetText("登录中..");
    login.SetEnabled(false);
    status.SetText("first");
    status.SetText("数据错误");
  });
  worker.join();
  EXPECT_EQ(login.text(), "登录");  // nothing changed off the UI thread
  loop.ProcessPending();
  EXPECT_EQ(login.text(), "登录中..");
  EXPECT_FALSE(login.enabled());
  EXPECT_EQ(shown, (std::vector<std::string>{"first", "数据错误"}));

  std::thread late([&] { status.SetText("too late"); });
  late.join();
  token->Expire();
  loop.ProcessPending();
  EXPECT_EQ(status.text(), "数据错误");
}

TEST(Controls, TimerTicksAtItsPeriodAndZeroStopsIt) {
  FakeEventLoop loop;
  LifeToken token;
  Timer timer("时钟_连接后执行");
  timer.Attach(&loop, &token);
  int ticks = 0;
  timer.onTick = [&] { ++ticks; };
  timer.SetPeriod(1000);
  loop.Advance(3500);
  EXPECT_EQ(ticks, 3);
  timer.SetPeriod(0);
  loop.Advance(3000);
  EXPECT_EQ(ticks, 3);
  timer.SetPeriod(500);
  loop.Advance(1000);
  EXPECT_EQ(ticks, 5);
}

}  // namespace
}  // namespace dudivizo::ui
