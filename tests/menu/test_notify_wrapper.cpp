// CResourceNotifyWrapper against a fake resource object.
#include <gtest/gtest.h>

#include <OrvexC/hostkit/FakeRuntime.h>
#include "resource/ResourceNotifyWrapper.h"

using orvex::CResourceNotifyWrapper;
using orvex::fw::CreatorRef;

namespace {

class NotifyWrapper : public ::testing::Test {
 protected:
  fake::Runtime rt;
  fake::FakeResource& resource = rt.AddResource("menu");
  CreatorRef<CResourceNotifyWrapper> wrapper{new CResourceNotifyWrapper};
};

TEST_F(NotifyWrapper, StartDeliversTheFileNameAndStopUnadvises) {
  resource.fileName = "C:\\res\\menu.txt";
  wrapper->Attach(&resource, 0);
  EXPECT_STREQ(wrapper->GetFileName(), "C:\\res\\menu.txt");
  EXPECT_EQ(rt.journal.Methods(),
            (std::vector<std::string>{"resource:menu.3", "resource:menu.8", "resource:menu.4"}));
  EXPECT_EQ(wrapper->m_pSource, nullptr);
  EXPECT_FALSE(wrapper->m_bAdvised);
}

TEST_F(NotifyWrapper, OnlyStatusCode14CarriesTheNameAndTheLastOneWins) {
  IResourceNotify* notify = wrapper->Notify();
  notify->OnProgress(0, 1, 2, 13, "not a name");
  EXPECT_STREQ(wrapper->GetFileName(), "");
  notify->OnProgress(0, 1, 2, 14, "first");
  notify->OnProgress(0, 1, 2, 14, "second");
  notify->OnProgress(0, 1, 2, 15, "other");
  EXPECT_STREQ(wrapper->GetFileName(), "second");
}

TEST_F(NotifyWrapper, StartHoldsTheBindingAndANullOneReleasesIt) {
  fake::FakeScope& binding = rt.AddScope("binding");
  IResourceNotify* notify = wrapper->Notify();
  notify->OnStart(0, 0, static_cast<IHostScope*>(&binding));
  EXPECT_EQ(binding.refs(), 2u);
  notify->OnStart(0, 0, nullptr);
  EXPECT_EQ(binding.refs(), 1u);
  EXPECT_EQ(wrapper->m_pBinding, nullptr);
  notify->OnStart(0, 0, static_cast<IHostScope*>(&binding));
  notify->OnStop(0, 0, 0);  // before Attach: no source, only the handler and the binding
  EXPECT_EQ(binding.refs(), 1u);
  EXPECT_FALSE(rt.journal.Has("resource:menu"));
}

TEST_F(NotifyWrapper, QueryInterfaceAnswersBothIdentifiersWithOnePointer) {
  IResourceNotify* notify = wrapper->Notify();
  void* unknown = nullptr;
  void* listener = nullptr;
  void* other = &other;
  EXPECT_EQ(notify->QueryInterface(IID_IUnknown, &unknown), S_OK);
  EXPECT_EQ(notify->QueryInterface(IID_IResourceNotify, &listener), S_OK);
  EXPECT_EQ(notify->QueryInterface(IID_IResourceStorage, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(unknown, listener);
  EXPECT_EQ(listener, static_cast<void*>(notify));
  notify->Release();
  notify->Release();
}

TEST_F(NotifyWrapper, OverReleasingRuntimeCannotDestroyTheWrapperUnderItsCreator) {
  IResourceNotify* notify = wrapper->Notify();
  notify->Release();
  notify->Release();  // more releases than references: the creator still holds it
  notify->OnProgress(0, 0, 0, 14, "still alive");
  EXPECT_STREQ(wrapper->GetFileName(), "still alive");
}

TEST_F(NotifyWrapper, SecondAttachMovesTheWrapper) {
  fake::FakeResource& other = rt.AddResource("other");
  resource.onStart = [](IResourceNotify*) {};  // starts, never stops
  wrapper->Attach(&resource, 0);
  other.onStart = [](IResourceNotify*) {};
  wrapper->Attach(&other, 7);
  EXPECT_EQ(rt.journal.Methods(), (std::vector<std::string>{"resource:menu.3", "resource:menu.8", "resource:menu.4",
                                                            "resource:other.3", "resource:other.8"}));
  wrapper->Detach();
  EXPECT_EQ(rt.journal.Methods().back(), "resource:other.4");
}

}  // namespace
