// The scripting machinery of the fake title runtime: what every fake object
// has. A fake answers each method with a scripted status (0 unless scripted),
// can hand out null instead of its out-values, counts its references and
// journals each call. Scripts name methods as the runtime's list does:
// rt.app.status["GetTitlePath"] = E_FAIL.
//
// Each object starts with one reference, the test's own. Every interface the
// fake hands out carries one more, which the library must release: after
// every export every object is back at 1 (Recorder::UnbalancedObjects()).
//
// A recorder marked `shared` may be called from many threads (its objects
// lock it); one marked `quiet` keeps no journal and answers every call with
// 0, for measuring what the library adds to the runtime's own cost.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "OrvexC/RuntimeInterfaces.h"
#include "OrvexC/hostkit/Journal.h"
#include "OrvexC/hostkit/Ledger.h"

namespace fake {

class Recorder;

// A script value per method of one interface, keyed by the method's name as
// the runtime's list gives it ("GetTitlePath"). A name the interface lacks is
// a mistake in the test: it throws std::invalid_argument.
template <class V>
class ByMethod {
 public:
  explicit ByMethod(const char* owner) : owner_(owner) {}
  V& operator[](const std::string& method) { return values_[SlotOf(method)]; }
  void erase(const std::string& method) { values_.erase(SlotOf(method)); }
  void clear() { values_.clear(); }
  bool empty() const { return values_.empty(); }
  // The value for the method in `slot`; null when none is set.
  const V* At(int slot) const {
    auto it = values_.find(slot);
    return it == values_.end() ? nullptr : &it->second;
  }

 private:
  int SlotOf(const std::string& method) const {
    const orvex::runtime::Method* row = orvex::runtime::MethodNamed(owner_, method.c_str());
    if (!row) throw std::invalid_argument(std::string(owner_) + " has no method " + method);
    return row->slot;
  }
  const char* owner_;
  std::map<int, V> values_;
};

// The bookkeeping that every fake object has.
class Base {
 public:
  Base(Recorder& recorder, std::string name, const char* owner)
      : status(owner),
        nullOut(owner),
        writeOnFailure(owner),
        lendOnFailure(owner),
        onlyCall(owner),
        recorder_(recorder),
        name_(std::move(name)),
        owner_(owner) {}
  virtual ~Base() = default;
  const std::string& name() const { return name_; }
  ULONG refs() const { return refs_; }

  // The status a method answers (0 unless scripted): status["GetTitlePath"] = E_FAIL.
  ByMethod<HRESULT> status;
  // Methods that answer with a null out-pointer (whatever their status).
  ByMethod<bool> nullOut;
  // Methods that still write their out-values when their status is not 0.
  ByMethod<bool> writeOnFailure;
  // Methods that, with a status other than 0, still write their interface or
  // text out, as the caller's to neither release nor free: no reference, not
  // a string of the caller's.
  ByMethod<bool> lendOnFailure;
  // Methods whose scripted status and null out-pointer apply to one call of
  // them alone: the n-th, counted from 0. Others answer as unscripted.
  ByMethod<int> onlyCall;

  // Whether the call of the method in `slot` in progress is one its script applies to.
  bool Scripted(int slot) const {
    const int* only = onlyCall.At(slot);
    if (!only) return true;
    auto made = calls_.find(slot);
    return made != calls_.end() && made->second - 1 == *only;
  }
  bool NullOut(int slot) const {
    const bool* set = nullOut.At(slot);
    return set && *set && Scripted(slot);
  }
  bool Lends(int slot, HRESULT status) const {
    const bool* set = lendOnFailure.At(slot);
    return status != S_OK && set && *set;
  }

 protected:
  Recorder& recorder_;
  std::string name_;
  const char* owner_;  // the interface, as the runtime's list names it
  std::atomic<ULONG> refs_{1};
  std::map<int, int> calls_;  // calls made so far, by slot

  // Counts a call of the method in `slot` and gives the status it answers (0 unless scripted).
  HRESULT Answer(int slot) {
    ++calls_[slot];
    const HRESULT* scripted = status.At(slot);
    return !scripted || !Scripted(slot) ? S_OK : *scripted;
  }
  // "name.Method", as the audit notes who handed something out.
  std::string Where(int slot) const { return name_ + "." + orvex::runtime::MethodAt(owner_, slot)->name; }
};

// What the fakes of one title share: the journal with the names of its
// objects, the modes, the lock, and the reference audit of every object.
class Recorder : public hostkit::ReferenceAudit {
 public:
  Recorder() = default;
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  Journal journal;
  Names names;
  bool shared = false;  // called from many threads: every call locks `mutex`
  bool quiet = false;   // no journal, no scripts: every call answers 0
  std::recursive_mutex mutex;
  // Called at the start of every runtime call (not in quiet mode): a test
  // checks there what must hold while the library is inside the runtime.
  std::function<void()> onCall;

  // Objects whose reference count is not back at 1, as "name=count".
  std::vector<std::string> UnbalancedObjects() const;
  // Every object, in creation order.
  const std::vector<Base*>& Objects() const { return objects_; }
  // The object called `name` ("thread:a"); null when there is none.
  Base* Find(const std::string& name) const;
  void Track(Base* object) { objects_.push_back(object); }
  void Untrack(Base* object);

  // A fake of type T called `name`, owned by the recorder until its end.
  template <class T>
  T& Make(const std::string& name) {
    owned_.push_back(std::make_unique<T>(*this, name));
    return static_cast<T&>(*owned_.back());
  }

 private:
  std::vector<Base*> objects_;  // before owned_: the fakes untrack themselves
  std::vector<std::unique_ptr<Base>> owned_;
};

// The entry of `byName` called `name`; null for a null or unknown name.
template <class Map>
typename Map::mapped_type FindByName(const Map& byName, const char* name) {
  if (!name) return nullptr;
  auto it = byName.find(name);
  return it != byName.end() ? it->second : nullptr;
}

// Base of a fake implementing interface I (derived from IUnknown).
template <class I>
class Object : public I, public Base {
 public:
  Object(Recorder& recorder, std::string name);
  ~Object() override;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  // Holds the runtime's lock for the call in progress when it is shared.
  std::unique_lock<std::recursive_mutex> Hold() const;
  ULONG STDMETHODCALLTYPE Release() override;

  // Interface identifiers answered besides IUnknown.
  std::vector<GUID> answers;

 protected:
  // I's slots by method name: Call(Slots::GetTitlePath).
  using Slots = orvex::runtime::SlotsOf<I>;
  // Journals the call and returns the scripted status.
  template <class... A>
  HRESULT Call(int slot, A... args);
  // Whether the out-values of the method in `slot` are written for `status`.
  bool Writes(int slot, HRESULT status) const {
    const bool* set = writeOnFailure.At(slot);
    return status == S_OK || (set && *set);
  }
  // Hands `object` out through `out` with a reference of its own.
  template <class T, class F>
  HRESULT Hand(int slot, HRESULT status, F* object, T** out);
  // Calls the method in `slot` (no arguments) and hands `object` out.
  template <class T, class F>
  HRESULT Give(int slot, F* object, T** out) {
    return Hand(slot, Call(slot), object, out);
  }
  // A BSTR copy of `text` for the library, recorded by the runtime.
  HRESULT HandText(int slot, HRESULT status, const std::wstring* text, BSTR* out);
  // Calls the method in `slot` (no arguments) and hands a copy of `text` out.
  HRESULT GiveText(int slot, const std::wstring* text, BSTR* out) {
    return HandText(slot, Call(slot), text, out);
  }
  // Calls the method in `slot` and writes `value` through `out` when the status allows it.
  template <class T>
  HRESULT Read(int slot, T* out, T value) {
    HRESULT result = Call(slot);
    if (out && Writes(slot, result)) *out = value;
    return result;
  }
};

// ---- template members --------------------------------------------------------

template <class I>
Object<I>::Object(Recorder& recorder, std::string name)
    : Base(recorder, std::move(name), orvex::runtime::SlotsOf<I>::kInterface) {
  recorder_.names.Register(static_cast<I*>(this), name_);
  recorder_.Track(this);
}

template <class I>
Object<I>::~Object() {
  recorder_.names.Forget(static_cast<I*>(this));
  recorder_.Untrack(this);
}

template <class I>
std::unique_lock<std::recursive_mutex> Object<I>::Hold() const {
  return recorder_.shared ? std::unique_lock<std::recursive_mutex>(recorder_.mutex)
                          : std::unique_lock<std::recursive_mutex>();
}

template <class I>
HRESULT STDMETHODCALLTYPE Object<I>::QueryInterface(REFIID iid, void** out) {
  auto hold = Hold();
  constexpr int slot = orvex::runtime::MethodNamed("IUnknown", "QueryInterface")->slot;
  HRESULT failure = S_OK;
  if (!recorder_.quiet) {
    recorder_.journal.Add(
        {name_, orvex::runtime::MethodAt(owner_, slot), iid == IID_IUnknown ? "IUnknown" : "iid"});
    if (recorder_.onCall) recorder_.onCall();
    failure = Answer(slot);
  }
  bool known = iid == IID_IUnknown;
  for (const GUID& g : answers) known = known || g == iid;
  if (!out) return E_POINTER;
  if (failure != S_OK || NullOut(slot)) {
    *out = nullptr;
    return failure;
  }
  if (!known) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  if (!recorder_.quiet) recorder_.NoteObtained(Where(slot), name_);
  *out = static_cast<I*>(this);
  return S_OK;
}

template <class I>
ULONG STDMETHODCALLTYPE Object<I>::Release() {
  if (!recorder_.quiet) {
    auto hold = Hold();
    constexpr int slot = orvex::runtime::MethodNamed("IUnknown", "Release")->slot;
    recorder_.journal.Add({name_, orvex::runtime::MethodAt(owner_, slot), ""});
    recorder_.NoteReleased(name_);
  }
  return --refs_;
}

template <class I>
template <class... A>
HRESULT Object<I>::Call(int slot, A... args) {
  if (recorder_.quiet) return S_OK;
  auto hold = Hold();
  recorder_.journal.Add({name_, orvex::runtime::MethodAt(owner_, slot), FormatAll(recorder_.names, args...)});
  if (recorder_.onCall) recorder_.onCall();
  return Answer(slot);
}

template <class I>
template <class T, class F>
HRESULT Object<I>::Hand(int slot, HRESULT result, F* object, T** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  T* given = object;
  if (Lends(slot, result) && !NullOut(slot)) return *out = given, result;
  if (!Writes(slot, result) || NullOut(slot) || !given) return result;
  given->AddRef();
  if (!recorder_.quiet) {
    auto hold = Hold();
    recorder_.NoteObtained(Where(slot), recorder_.names.Of(given));
  }
  *out = given;
  return result;
}

template <class I>
HRESULT Object<I>::HandText(int slot, HRESULT result, const std::wstring* text, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!(Writes(slot, result) || Lends(slot, result)) || NullOut(slot) || !text) return result;
  *out = SysAllocString(text->c_str());
  if (recorder_.quiet) return result;
  auto hold = Hold();
  recorder_.handingMethods.insert(Where(slot));
  if (result == S_OK)
    hostkit::StringLedger::NoteHanded(*out);
  else
    recorder_.failedStrings.push_back({*out, hostkit::StringLedger::Events()});
  return result;
}

}  // namespace fake
