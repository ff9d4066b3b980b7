// CResourceNotifyWrapper against a fake resource object: what LoadMenuFromFile's
// row in the export table cannot show (the status code that carries the name,
// the binding's reference, QueryInterface, a runtime releasing too often).
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

TEST_F(NotifyWrapper, QueryInterfaceAnswersBothIdentifiersWithOnePointerAndAReference) {
  IResourceNotify* notify = wrapper->Notify();
  for (const IID* iid : {&IID_IUnknown, &IID_IResourceNotify}) {
    void* answer = nullptr;
    EXPECT_EQ(notify->QueryInterface(*iid, &answer), S_OK);
    EXPECT_EQ(answer, static_cast<void*>(notify));
    EXPECT_EQ(notify->AddRef(), 3u) << "the creator's, the answer's and this one";
    EXPECT_EQ(notify->Release(), 2u);
    EXPECT_EQ(notify->Release(), 1u);
  }
  void* other = &other;
  EXPECT_EQ(notify->QueryInterface(IID_IResourceStorage, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(notify->AddRef(), 2u) << "no reference for a refusal";
  notify->Release();
}

TEST_F(NotifyWrapper, OverReleasingRuntimeCannotDestroyTheWrapperUnderItsCreator) {
  IResourceNotify* notify = wrapper->Notify();
  notify->Release();
  notify->Release();  // more releases than references: the creator still holds it
  notify->OnProgress(0, 0, 0, 14, "still alive");
  EXPECT_STREQ(wrapper->GetFileName(), "still alive");
}

}  // namespace
