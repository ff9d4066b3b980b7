// The tracing edition's lines (see Trace.h). Compiled into every build, it
// holds code only with ORVEXC_TRACE.
#include "frame/Trace.h"

#ifdef ORVEXC_TRACE

#include "frame/CharText.h"

namespace orvex::trace {

namespace {

// The thread's innermost export, in a slot of its own: no allocation on a
// thread's first export (as compiler-made thread-local storage would make).
// Given back when the library unloads.
class Slot {
 public:
  Slot() noexcept : index_(TlsAlloc()) {}
  ~Slot() {
    if (index_ != TLS_OUT_OF_INDEXES) TlsFree(index_);
  }
  Slot(const Slot&) = delete;
  Slot& operator=(const Slot&) = delete;
  operator DWORD() const noexcept { return index_; }

 private:
  DWORD index_;
};
const Slot g_slot;

constexpr char kPrefix[] = "OrvexC: ";
constexpr int kTextShown = 40;  // bytes of a text before it is cut

// A line in a fixed buffer; what does not fit is cut, never written past it.
class Line {
 public:
  explicit Line(int depth) noexcept {
    Add(kPrefix);
    for (int i = 0; i < depth; ++i) Add("  ");
  }
  void Add(const char* text) noexcept {
    while (*text) Put(*text++);
  }
  void Put(char c) noexcept {
    if (size_ < kCapacity) text_[size_++] = c;
  }
  void Decimal(long long value) noexcept {
    unsigned long long magnitude = value < 0 ? 0ULL - static_cast<unsigned long long>(value) : value;
    if (value < 0) Put('-');
    Unsigned(magnitude);
  }
  void Unsigned(unsigned long long value) noexcept {
    char digits[24];
    int count = 0;
    do digits[count++] = static_cast<char>('0' + value % 10);
    while ((value /= 10) != 0);
    while (count) Put(digits[--count]);
  }
  void Hex(unsigned long value) noexcept {
    Add("0x");
    for (int shift = 28; shift >= 0; shift -= 4) Put("0123456789ABCDEF"[(value >> shift) & 0xF]);
  }
  // Six decimals; what a 64-bit integer cannot hold is "huge".
  void Real(double value) noexcept {
    if (value != value) return Add("nan");
    if (value < 0) Put('-'), value = -value;
    if (value >= 9e18) return Add("huge");
    unsigned long long whole = static_cast<unsigned long long>(value);
    unsigned long long fraction = static_cast<unsigned long long>((value - whole) * 1e6 + 0.5);
    if (fraction >= 1000000) ++whole, fraction -= 1000000;
    Unsigned(whole);
    Put('.');
    for (unsigned long long unit = 100000; unit; unit /= 10)
      Put(static_cast<char>('0' + fraction / unit % 10));
  }
  // At most `bytes` bytes of `text` (fewer at its terminator), quoted, cut
  // after kTextShown bytes at a character's start with "...".
  void Quoted(const char* text, int bytes) noexcept {
    Put('"');
    const char* p = text;
    while (p - text < bytes && *p && p - text < kTextShown) {
      const char* next = NextChar(p);
      if (next - text > bytes) break;  // a character the buffer cuts short
      for (; p < next; ++p) Put(*p);
    }
    Put('"');
    if (p - text < bytes && *p) Add("...");
  }
  void Describe(const Value& value) noexcept {
    switch (value.kind) {
      case Kind::kNumber: Decimal(value.number); break;
      case Kind::kUnsigned: Unsigned(static_cast<unsigned long long>(value.number)); break;
      case Kind::kReal: Real(value.real); break;
      case Kind::kPointer:
        if (value.pointer)
          Hex(static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(value.pointer)));
        else
          Add("null");
        break;
      case Kind::kText:
        if (value.pointer)
          Quoted(static_cast<const char*>(value.pointer), 0x7FFFFFFF);
        else
          Add("null");
        break;
    }
  }
  void Send() noexcept {
    if (size_ == kCapacity) size_ = kCapacity - 4, Add("...");
    text_[size_] = '\n';
    text_[size_ + 1] = '\0';
    OutputDebugStringA(text_);
  }

 private:
  static constexpr int kCapacity = 500;
  char text_[kCapacity + 2];
  int size_ = 0;
};

// Keeps the caller's last-error value across the trace's own system calls.
class KeepLastError {
 public:
  KeepLastError() noexcept : error_(GetLastError()) {}
  ~KeepLastError() { SetLastError(error_); }

 private:
  DWORD error_;
};

// The name an export is known by: the function's, without the library's prefix.
const char* ExportName(const char* function) noexcept {
  static const char* const kPrefixes[] = {"OrvexCrt_", "Orvex"};
  for (const char* prefix : kPrefixes) {
    const char* f = function;
    const char* p = prefix;
    while (*p && *f == *p) ++f, ++p;
    if (!*p) return f;
  }
  return function;
}

}  // namespace

ExportLine* ExportLine::Current() noexcept {
  if (g_slot == TLS_OUT_OF_INDEXES) return nullptr;
  KeepLastError keep;
  return static_cast<ExportLine*>(TlsGetValue(g_slot));
}

void ExportLine::Enter(const Value* values, int count) noexcept {
  caller_ = Current();
  depth_ = caller_ ? caller_->depth_ + 1 : 0;
  KeepLastError keep;
  if (g_slot != TLS_OUT_OF_INDEXES) TlsSetValue(g_slot, this);
  Line line(depth_);
  line.Add(ExportName(name_));
  line.Put('(');
  for (int i = 0; i < count; ++i) {
    if (i) line.Add(", ");
    line.Describe(values[i]);
  }
  line.Put(')');
  line.Send();
}

ExportLine::~ExportLine() {
  KeepLastError keep;
  if (g_slot != TLS_OUT_OF_INDEXES) TlsSetValue(g_slot, caller_);
  Line line(depth_);
  line.Add(ExportName(name_));
  line.Add(" ->");
  bool said = false;
  auto next = [&] { line.Add(said ? ", " : " "), said = true; };
  if (hasResult_) next(), line.Describe(result_);
  if (text_ && textLength_ > 0) {
    int size = 0;
    while (size < textLength_ && text_[size]) ++size;
    next();
    line.Quoted(text_, size);
    line.Add(" (");
    line.Decimal(size);
    line.Add(" of ");
    line.Decimal(textLength_);
    line.Add(size < textLength_ ? " bytes, terminated)" : " bytes, not terminated)");
  } else if (text_) {
    next(), line.Add("nothing written (length "), line.Decimal(textLength_), line.Put(')');
  }
  for (int i = 0; i < outCount_; ++i) next(), line.Decimal(*outs_[i]);
  if (!said) line.Add(" done");
  line.Send();
}

void StepLine(const char* interfaceName, const char* method, HRESULT status) noexcept {
  KeepLastError keep;
  ExportLine* current = ExportLine::Current();
  Line line(current ? current->Depth() + 1 : 1);
  line.Add(interfaceName);
  line.Add("::");
  line.Add(method);
  line.Add(" -> ");
  if (status == S_OK)
    line.Put('0');
  else
    line.Hex(static_cast<unsigned long>(status));
  line.Send();
}

}  // namespace orvex::trace

#endif  // ORVEXC_TRACE
