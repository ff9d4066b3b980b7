// Object services against the fake title runtime.
#include <functional>

#include "HostTest.h"

using hosttest::Calls;

namespace {

class Objects : public hosttest::HostTest {
 protected:
  void SetUp() override {
    HostTest::SetUp();
    button = &rt.AddObject("button");
    scope = &rt.AddScope();
    scope->key = reinterpret_cast<HostScopeKey>(0x1234);
  }
  IUnknown* Scope() { return static_cast<IHostScope*>(scope); }

  fake::FakeHostObject* button = nullptr;
  fake::FakeScope* scope = nullptr;
};

TEST_F(Objects, LookupDerivesTheScopeKeyAndNeverHoldsTheScopeObject) {
  button->rect = {10, 20, 110, 70};
  EXPECT_EQ(GetObjectX(rt.ctx(), Scope(), "button"), 10);
  EXPECT_EQ(Journal(), (Calls{"scope.0(iid)", "scope.4()", "scope.2()", "context.21(00001234,\"button\")",
                              "object:button.11()", "object:button.2()"}));
  EXPECT_EQ(scope->refs(), 1u);
}

TEST_F(Objects, NoScopeOrAScopeWithoutIHostScopeGivesANullKey) {
  GetObjectY(rt.ctx(), nullptr, "button");
  EXPECT_EQ(Journal(), (Calls{"context.21(null,\"button\")", "object:button.11()", "object:button.2()"}));
  scope->OfferScope(false);
  ResetJournal();
  GetObjectY(rt.ctx(), Scope(), "button");
  EXPECT_EQ(Journal(), (Calls{"scope.0(iid)", "context.21(null,\"button\")", "object:button.11()",
                              "object:button.2()"}));
}

TEST_F(Objects, ScopeThatLeavesTheKeyUnsetGivesANullKey) {
  scope->writesKey = false;
  GetObjectY(rt.ctx(), Scope(), "button");
  EXPECT_EQ(Journal()[3], "context.21(null,\"button\")");
}

// Getters of one value: (export, object setup, expected result).
struct GetterCase {
  const char* name;
  std::function<int(IHostContext*, IUnknown*, const char*)> call;
  std::function<void(fake::FakeHostObject&)> set;
  int expected;
  const char* method;
  int failure;
};

std::vector<GetterCase> Getters() {
  return {
      {"X", GetObjectX, [](auto& o) { o.rect = {10, 20, 110, 70}; }, 10, "11", 0},
      {"Y", GetObjectY, [](auto& o) { o.rect = {10, 20, 110, 70}; }, 20, "11", 0},
      {"Width", GetObjectWidth, [](auto& o) { o.rect = {10, 20, 110, 70}; }, 100, "11", 0},
      {"Height", GetObjectHeight, [](auto& o) { o.rect = {10, 20, 110, 70}; }, 50, "11", 0},
      {"Focus", GetObjectFocus, [](auto& o) { o.focus = 3; }, 3, "36", 0},
      {"Visible -1", IsObjectVisible, [](auto& o) { o.visible = -1; }, -1, "33", 0},
      {"Enabled 7", IsObjectEnabled, [](auto& o) { o.enabled = 7; }, 7, "29", 0},
      {"ZOrder", GetObjectZOrder, [](auto& o) { o.zOrder = 4; }, 4, "34", -1},
      {"State 7", GetObjectActiveState, [](auto& o) { o.state = 7; }, 3, "39", 0},
      {"State 3", GetObjectActiveState, [](auto& o) { o.state = 3; }, 2, "39", 0},
      {"State 2", GetObjectActiveState, [](auto& o) { o.state = 2; }, 1, "39", 0},
      {"State 8", GetObjectActiveState, [](auto& o) { o.state = 8; }, 0, "39", 0},
      {"Palette 4", GetObjectPaletteSetting, [](auto& o) { o.flags = 4; }, 1, "15", 0},
      {"Palette 8", GetObjectPaletteSetting, [](auto& o) { o.flags = 8; }, 0, "15", 0},
      {"Optimized 4", GetObjectOptimizedPainting, [](auto& o) { o.flags = 4; }, 0, "15", 0},
      {"Optimized 12", GetObjectOptimizedPainting, [](auto& o) { o.flags = 12; }, 1, "15", 0},
  };
}

TEST_F(Objects, GettersReturnWhatTheRuntimeWroteAndTheirFailureValue) {
  for (const auto& g : Getters()) {
    g.set(*button);
    ResetJournal();
    EXPECT_EQ(g.call(rt.ctx(), nullptr, "button"), g.expected) << g.name;
    EXPECT_EQ(Methods(), (Calls{"context.21", std::string("object:button.") + g.method, "object:button.2"}))
        << g.name;
    ResetJournal();
    EXPECT_EQ(g.call(rt.ctx(), nullptr, "missing"), g.failure) << g.name;
    EXPECT_EQ(g.call(rt.ctx(), nullptr, nullptr), g.failure) << g.name;
    EXPECT_EQ(Methods(), Calls{"context.21"}) << g.name << ": a null name must make no call";
  }
}

// Getters whose method writes nothing give their preset: 0, and -1 for the
// z-order, whose result starts at -1 (0 would be a real place: the back).
TEST_F(Objects, GettersGiveTheirPresetWhenTheRuntimeWritesNothing) {
  button->rect = {5, 6, 7, 8};
  button->focus = button->zOrder = button->state = button->flags = 9;
  for (int method : {11, 15, 34, 36, 39}) button->status[method] = E_FAIL;
  EXPECT_EQ(GetObjectX(rt.ctx(), nullptr, "button"), 0);
  EXPECT_EQ(GetObjectFocus(rt.ctx(), nullptr, "button"), 0);
  EXPECT_EQ(GetObjectZOrder(rt.ctx(), nullptr, "button"), -1);
  EXPECT_EQ(GetObjectActiveState(rt.ctx(), nullptr, "button"), 0);
  EXPECT_EQ(GetObjectPaletteSetting(rt.ctx(), nullptr, "button"), 0);
}

// Setters: (export call, expected action entries).
struct SetterCase {
  const char* name;
  std::function<void(IHostContext*, const char*)> call;
  Calls actions;
};

TEST_F(Objects, SettersPassTheirArgumentsInTheRuntimesOrder) {
  const SetterCase cases[] = {
      {"XY", [](auto c, auto n) { SetObjectXY(c, nullptr, n, 50, 60); },
       {"object:button.11()", "object:button.12({50,60,150,110},1)"}},
      {"Size", [](auto c, auto n) { SetObjectSize(c, nullptr, n, 30, 40); },
       {"object:button.11()", "object:button.12({10,20,40,60},1)"}},
      {"Rect", [](auto c, auto n) { SetObjectRect(c, nullptr, n, 1, 2, 3, 4); }, {"object:button.12({1,2,3,4},1)"}},
      {"Focus", [](auto c, auto n) { SetObjectFocus(c, nullptr, n); }, {"object:button.37(1)"}},
      {"Hide", [](auto c, auto n) { HideObject(c, nullptr, n); }, {"object:button.32(0,1)"}},
      {"Show", [](auto c, auto n) { ShowObject(c, nullptr, n); }, {"object:button.32(1,1)"}},
      {"Enable", [](auto c, auto n) { EnableObject(c, nullptr, n); }, {"object:button.28(1,1)"}},
      {"Disable", [](auto c, auto n) { DisableObject(c, nullptr, n); }, {"object:button.28(0,1)"}},
      {"ZOrder", [](auto c, auto n) { SetObjectZOrder(c, nullptr, n, 3); }, {"object:button.35(3,1)"}},
      {"Top", [](auto c, auto n) { BringObjectToTop(c, nullptr, n); }, {"object:button.35(-1,1)"}},
      {"Back", [](auto c, auto n) { SendObjectToBack(c, nullptr, n); }, {"object:button.35(0,1)"}},
      {"State 1", [](auto c, auto n) { SetObjectActiveState(c, nullptr, n, 1); }, {"object:button.40(2)"}},
      {"State 2", [](auto c, auto n) { SetObjectActiveState(c, nullptr, n, 2); }, {"object:button.40(1)"}},
      {"State 3", [](auto c, auto n) { SetObjectActiveState(c, nullptr, n, 3); }, {"object:button.40(4)"}},
      {"State 0", [](auto c, auto n) { SetObjectActiveState(c, nullptr, n, 0); }, {"object:button.40(0)"}},
      {"State 4", [](auto c, auto n) { SetObjectActiveState(c, nullptr, n, 4); }, {"object:button.40(0)"}},
      {"State -1", [](auto c, auto n) { SetObjectActiveState(c, nullptr, n, -1); }, {"object:button.40(0)"}},
      {"Transparent", [](auto c, auto n) { SetObjectTransparent(c, nullptr, n, 7, 9); }, {"object:button.21(9,7,1)"}},
      {"KeyColor", [](auto c, auto n) { SetObjectKeyColor(c, nullptr, n, 7, 9); }, {"object:button.23(9,7,1)"}},
      {"AntiAlias", [](auto c, auto n) { SetObjectAntiAlias(c, nullptr, n, 7, -2); }, {"object:button.25(-2,7,1)"}},
      {"Palette 2", [](auto c, auto n) { SetObjectPaletteSetting(c, nullptr, n, 2); }, {"object:button.16(0,4)"}},
      {"Palette -1", [](auto c, auto n) { SetObjectPaletteSetting(c, nullptr, n, -1); }, {"object:button.16(0,4)"}},
      {"Palette 0", [](auto c, auto n) { SetObjectPaletteSetting(c, nullptr, n, 0); }, {"object:button.16(4,0)"}},
      {"Optimized on", [](auto c, auto n) { SetObjectOptimizedPainting(c, nullptr, n, 1); }, {"object:button.16(0,8)"}},
      {"Optimized off", [](auto c, auto n) { SetObjectOptimizedPainting(c, nullptr, n, 0); }, {"object:button.16(8,0)"}},
  };
  for (const auto& c : cases) {
    button->rect = {10, 20, 110, 70};
    ResetJournal();
    c.call(rt.ctx(), "button");
    Calls expected{"context.21(null,\"button\")"};
    expected.insert(expected.end(), c.actions.begin(), c.actions.end());
    expected.push_back("object:button.2()");
    EXPECT_EQ(Journal(), expected) << c.name;
    ResetJournal();
    c.call(rt.ctx(), nullptr);
    c.call(rt.ctx(), "missing");
    EXPECT_EQ(Journal(), Calls{"context.21(null,\"missing\")"}) << c.name;
  }
}

TEST_F(Objects, ActiveStateReadsBackUnchanged) {
  for (int state : {0, 1, 2, 3}) {
    SetObjectActiveState(rt.ctx(), nullptr, "button", state);
    EXPECT_EQ(GetObjectActiveState(rt.ctx(), nullptr, "button"), state);
  }
}

TEST_F(Objects, GetObjectRect) {
  button->rect = {1, 2, 3, 4};
  int l = 9, t = 9, r = 9, b = 9;
  GetObjectRect(rt.ctx(), nullptr, "button", &l, &t, &r, &b);
  EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{1, 2, 3, 4}));
  l = t = r = b = 9;
  GetObjectRect(rt.ctx(), nullptr, "missing", &l, &t, &r, &b);
  EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{0, 0, 0, 0}));
  l = t = r = b = 9;
  ResetJournal();
  GetObjectRect(rt.ctx(), nullptr, nullptr, &l, &t, &r, &b);
  GetObjectRect(rt.ctx(), nullptr, "button", &l, &t, &r, nullptr);
  GetObjectRect(rt.ctx(), nullptr, "button", nullptr, &t, &r, &b);
  EXPECT_EQ((std::vector<int>{l, t, r, b}), (std::vector<int>{9, 9, 9, 9}));
  EXPECT_EQ(Journal(), Calls{});
}

TEST_F(Objects, PairGetters) {
  button->transparentFirst = 7;
  button->transparentSecond = 9;
  button->keyColorFirst = 0x00FF00;
  button->keyColorSecond = 1;
  int second = 0;
  EXPECT_EQ(GetObjectTransparent(rt.ctx(), nullptr, "button", &second), 7);
  EXPECT_EQ(second, 9);
  EXPECT_EQ(GetObjectKeyColor(rt.ctx(), nullptr, "button", &second), 0x00FF00);
  EXPECT_EQ(second, 1);
  for (short narrow : {short(-1), short(5)}) {
    button->antiAliasFirst = 3;
    button->antiAliasSecond = narrow;
    EXPECT_EQ(GetObjectAntiAlias(rt.ctx(), nullptr, "button", &second), 3);
    EXPECT_EQ(second, narrow);
  }
  second = 42;
  ResetJournal();
  EXPECT_EQ(GetObjectTransparent(rt.ctx(), nullptr, "button", nullptr), 0);
  EXPECT_EQ(GetObjectAntiAlias(rt.ctx(), nullptr, "button", nullptr), 0);
  EXPECT_EQ(GetObjectKeyColor(rt.ctx(), nullptr, nullptr, &second), 0);
  EXPECT_EQ(Journal(), Calls{});
  EXPECT_EQ(GetObjectTransparent(rt.ctx(), nullptr, "missing", &second), 0);
  EXPECT_EQ(GetObjectAntiAlias(rt.ctx(), nullptr, "missing", &second), 0);
  EXPECT_EQ(second, 42);
}

}  // namespace
