// LoadMenuFromFile (701): a menu built from a menu script that the title's
// resources hold under a name.
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "frame/File.h"
#include "frame/HostChains.h"
#include "include/OrvexC.h"
#include "menu/MenuBuilder.h"
#include "resource/ResourceNotifyWrapper.h"

using namespace orvex;

namespace {

// Scripts larger than this are not menus; refusing them keeps a stray huge
// file from exhausting the title's memory.
constexpr LONGLONG kMaxScriptBytes = 64 * 1024 * 1024;

struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};

// The whole file, zero-filled to its length plus one so that the text always
// ends in a NUL (a short read leaves zeros that end it early); then parsed
// and built.
HMENU MenuFromFile(const char* fileName) {
  fw::CFile file;
  if (!file.OpenForReading(fileName)) return nullptr;
  LONGLONG length = file.GetLength();
  if (length <= 0 || length > kMaxScriptBytes) return nullptr;
  std::unique_ptr<char, FreeDeleter> text(
      static_cast<char*>(std::calloc(static_cast<size_t>(length) + 1, 1)));
  if (!text) return nullptr;
  file.Read(text.get(), static_cast<DWORD>(length));
  CMenuScript script;
  Expected<const MenuNode*> nodes = script.Parse(text.get());
  return nodes ? BuildMenu(*nodes) : nullptr;
}

}  // namespace

extern "C" {

// runtime → resources; FindResourceByName (name) → resource
// (negative status fails); the wrapper attached and started; file read and parsed.
HMENU __cdecl LoadMenuFromFile(IHostContext* context, const char* name) {
  ORVEX_EXPORT(context, name);
  return HostExport<HMENU>(nullptr, [&]() -> HMENU {
    if (!name) return nullptr;
    Chain chain;
    IHostResources* resources = ReachResources(chain, context);
    if (!resources) return nullptr;
    // Declared first so that it goes last: the resource is released before
    // the wrapper is destroyed.
    fw::CreatorRef<CResourceNotifyWrapper> wrapper;
    DWORD cookie = 0;
    IHostResource* found = nullptr;
    if (ORVEX_CALL(resources, FindResourceByName)(name, &cookie, &found) < 0) return nullptr;
    ComRef<IHostResource> resource(found);
    if (!resource) return nullptr;  // a success status without a resource

    wrapper = fw::CreatorRef<CResourceNotifyWrapper>::Make();
    // The runtime keeps no listener past this call.
    ScopeGuard detach([&] { wrapper->Detach(); });
    HMENU menu = nullptr;
    try {
      wrapper->Attach(resource.get(), 0);
      std::string fileName = wrapper->GetFileName();
      if (!fileName.empty()) menu = MenuFromFile(fileName.c_str());
    } catch (...) {
      // Out of memory while reading or parsing: the result so far stands.
    }
    return menu;
  });
}

}  // extern "C"
