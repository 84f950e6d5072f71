#include "win/WindowMap.h"

#include <mutex>
#include <unordered_map>

namespace {

struct Bindings {
    std::mutex lock;
    std::unordered_map<HWND, CWnd*> objects;
};

Bindings& TheBindings() {
    static Bindings bindings;
    return bindings;
}

} // namespace

namespace WindowMap {

bool Add(HWND window, CWnd* object) {
    Bindings& b = TheBindings();
    std::lock_guard<std::mutex> guard(b.lock);
    return b.objects.emplace(window, object).second;
}

CWnd* Find(HWND window) {
    Bindings& b = TheBindings();
    std::lock_guard<std::mutex> guard(b.lock);
    auto found = b.objects.find(window);
    return found == b.objects.end() ? nullptr : found->second;
}

void Remove(HWND window, const CWnd* object) {
    Bindings& b = TheBindings();
    std::lock_guard<std::mutex> guard(b.lock);
    auto found = b.objects.find(window);
    if (found != b.objects.end() && found->second == object)
        b.objects.erase(found);
}

} // namespace WindowMap
