// The tracing edition: OrvexC.dll built with ORVEXC_TRACE reports every
// export call through OutputDebugStringA, one line each for the export and
// its arguments, for each runtime call it makes (interface, method, status)
// and for its result as the caller receives it:
//
//   OrvexC: GetObjectX(0x0061F8A0, null, "Buton")
//   OrvexC:   IHostContext::FindObject -> 0x80004005
//   OrvexC: GetObjectX -> 0
//
// A nested export's lines are indented under its caller's. Export names are
// the functions' own (__func__), exported without their "Orvex"/"OrvexCrt_"
// prefix; interface and method names come from the runtime's list of
// methods. A line is built in a fixed buffer on the stack: the trace
// allocates nothing, holds no lock across a runtime call (OutputDebugStringA
// takes the system's only while it writes a line), keeps the caller's
// last-error value and never changes a result.
//
// Without ORVEXC_TRACE every hook below is nothing: ORVEX_EXPORT(arguments)
// declares nothing, ORVEX_RESULT(value) is the value, ORVEX_CALL(object,
// Method) is `object->Method`, the notes are empty inline functions, and the
// shipped library holds no trace code or text.
#pragma once

#include <windows.h>

#include <type_traits>

#include "frame/HostInterfaces.h"

#ifdef ORVEXC_TRACE

namespace orvex::trace {

// The names of a runtime method, by its member pointer.
template <auto Method>
struct MethodOf;
#define ORVEX_METHOD(interface, slot, method, parameters, note) \
  template <>                                                   \
  struct MethodOf<&interface::method> {                         \
    static constexpr const char* kInterface = #interface;       \
    static constexpr const char* kName = #method;               \
  };
#include "OrvexC/RuntimeInterfaces.def"

// The names of the runtime method `member` points to; "?" when not listed.
template <class Member>
const char* NameOfMember(Member member, const char*& interfaceName) noexcept {
#define ORVEX_METHOD(interface, slot, method, parameters, note)       \
  if constexpr (std::is_same_v<Member, decltype(&interface::method)>) \
    if (member == &interface::method) return interfaceName = #interface, #method;
#include "OrvexC/RuntimeInterfaces.def"
  return interfaceName = "?", "?";
}

// One argument or result, as an author wrote or reads it. Texts are quoted
// and cut with "..."; pointers and handles are hexadecimal, null named.
enum class Kind { kNumber, kUnsigned, kReal, kPointer, kText };
struct Value {
  Kind kind;
  long long number;
  const void* pointer;
  double real;
};
inline Value Describe(int v) noexcept { return {Kind::kNumber, v, nullptr, 0}; }
inline Value Describe(long v) noexcept { return {Kind::kNumber, v, nullptr, 0}; }
inline Value Describe(unsigned v) noexcept { return {Kind::kUnsigned, v, nullptr, 0}; }
inline Value Describe(unsigned long v) noexcept {
  return {Kind::kUnsigned, static_cast<long long>(v), nullptr, 0};
}
inline Value Describe(double v) noexcept { return {Kind::kReal, 0, nullptr, v}; }
inline Value Describe(const char* text) noexcept { return {Kind::kText, 0, text, 0}; }
// A caller's buffer is not read before the call has filled it.
inline Value Describe(char* buffer) noexcept { return {Kind::kPointer, 0, buffer, 0}; }
inline Value Describe(const void* p) noexcept { return {Kind::kPointer, 0, p, 0}; }

// The export being traced on this thread, innermost first.
class ExportLine {
 public:
  template <class... Args>
  explicit ExportLine(const char* name, const Args&... args) noexcept : name_(name) {
    const Value values[] = {Describe(args)..., Value{Kind::kNumber, 0, nullptr, 0}};
    Enter(values, sizeof...(Args));
  }
  ~ExportLine();
  ExportLine(const ExportLine&) = delete;
  ExportLine& operator=(const ExportLine&) = delete;

  // The export's result, for the result line.
  template <class Result>
  void NoteResult(Result result) noexcept {
    Note(Describe(result));
  }
  void NoteResult(char* text) noexcept { Note(Describe(static_cast<const char*>(text))); }
  template <class Handle>
  void NoteResult(Handle* handle) noexcept {
    Note(Describe(static_cast<const void*>(handle)));
  }

  // The caller's text buffer, and values the export writes for the caller.
  void NoteText(const char* buffer, int length) noexcept {
    text_ = buffer;
    textLength_ = length;
  }
  void NoteOut(const int* value) noexcept {
    if (outCount_ < kMaxOuts) outs_[outCount_++] = value;
  }
  void NoteNoResult() noexcept { hasResult_ = false; }

  // The export this thread is in; null outside one.
  static ExportLine* Current() noexcept;
  int Depth() const noexcept { return depth_; }

 private:
  static constexpr int kMaxOuts = 4;
  void Enter(const Value* values, int count) noexcept;
  void Note(Value result) noexcept {
    result_ = result;
    hasResult_ = true;
  }

  const char* name_;
  ExportLine* caller_ = nullptr;
  int depth_ = 0;
  Value result_ = {Kind::kNumber, 0, nullptr, 0};
  bool hasResult_ = false;
  const char* text_ = nullptr;
  int textLength_ = 0;
  const int* outs_[kMaxOuts] = {};
  int outCount_ = 0;
};

// A runtime call's line: the interface, the method and the status.
void StepLine(const char* interfaceName, const char* method, HRESULT status) noexcept;

// A runtime call through `object`, traced once it has answered.
template <class I, auto Method>
struct Step {
  I* object;
  template <class... Args>
  HRESULT operator()(Args&&... args) const {
    HRESULT status = (object->*Method)(static_cast<Args&&>(args)...);
    StepLine(MethodOf<Method>::kInterface, MethodOf<Method>::kName, status);
    return status;
  }
};

// The same through a member pointer known only when the call is made.
template <class I, class Member>
struct StepAt {
  I* object;
  Member member;
  template <class... Args>
  HRESULT operator()(Args&&... args) const {
    HRESULT status = (object->*member)(static_cast<Args&&>(args)...);
    const char* interfaceName = nullptr;
    const char* name = NameOfMember(member, interfaceName);
    StepLine(interfaceName, name, status);
    return status;
  }
};

inline void NoteText(const char* buffer, int length) noexcept {
  if (ExportLine* line = ExportLine::Current()) line->NoteText(buffer, length);
}
inline void NoteOut(const int* value) noexcept {
  if (ExportLine* line = ExportLine::Current()) line->NoteOut(value);
}
inline void NoteNoResult() noexcept {
  if (ExportLine* line = ExportLine::Current()) line->NoteNoResult();
}
// The result of the export this thread is in, passed on unchanged.
template <class R>
R Result(R result) noexcept {
  if (ExportLine* line = ExportLine::Current()) line->NoteResult(result);
  return result;
}

}  // namespace orvex::trace

// The export's result, passed on unchanged.
#define ORVEX_RESULT(value) ::orvex::trace::Result(value)
// The export's trace, the first statement of its body: the export line now,
// the result line when the export returns.
#define ORVEX_EXPORT(...) ::orvex::trace::ExportLine orvexExportLine_(__func__ __VA_OPT__(, ) __VA_ARGS__)
// A runtime call: ORVEX_CALL(app, GetTitlePath)(path.Out()) calls
// app->GetTitlePath(path.Out()) and writes its line once it has answered;
// ORVEX_CALL_AT(object, member) the same through a member pointer.
#define ORVEX_CALL(object, method)                                         \
  ::orvex::trace::Step<std::remove_pointer_t<decltype(object)>,            \
                       &std::remove_pointer_t<decltype(object)>::method> { \
    object                                                                 \
  }
#define ORVEX_CALL_AT(object, member) \
  ::orvex::trace::StepAt<std::remove_pointer_t<decltype(object)>, decltype(member)> { object, member }

#else  // !ORVEXC_TRACE

namespace orvex::trace {
inline void NoteText(const char*, int) noexcept {}
inline void NoteOut(const int*) noexcept {}
inline void NoteNoResult() noexcept {}
}  // namespace orvex::trace

#define ORVEX_EXPORT(...) static_assert(true, "")
#define ORVEX_RESULT(value) (value)
#define ORVEX_CALL(object, method) (object)->method
#define ORVEX_CALL_AT(object, member) ((object)->*(member))

#endif  // ORVEXC_TRACE
