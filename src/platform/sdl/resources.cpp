// The module's resources: the class icon (images registered by the program) and the arrow cursor.
#include "platform/sdl/state.h"

using namespace sdl_layer;

namespace {

bool is_int_resource(LPCSTR name) {
    return (reinterpret_cast<std::uintptr_t>(name) >> 16) == 0;
}

const IconImage *largest_image(HICON icon) {
    const auto found = state().icons.find(handle_key(icon));
    if (found == state().icons.end())
        return nullptr;
    const IconImage *best = nullptr;
    for (const IconImage &image : state().icon_resources[found->second])
        if (best == nullptr || image.width * image.height >= best->width * best->height)
            best = &image;
    return best;
}

} // namespace

namespace sdl_layer {

void apply_class_resources(const Window &window) {
    if (const IconImage *image = largest_image(window.window_class->icon)) {
        SDL_Surface *surface = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<std::uint32_t *>(image->argb.data()), image->width, image->height, 32,
            image->width * 4, SDL_PIXELFORMAT_ARGB8888);
        if (surface != nullptr) {
            SDL_SetWindowIcon(window.sdl, surface);
            SDL_FreeSurface(surface);
        }
    }
    if (window.window_class->cursor != nullptr &&
        window.window_class->cursor == state().arrow_cursor) {
        if (state().arrow == nullptr)
            state().arrow = SDL_CreateSystemCursor(SDL_SYSTEM_CURSOR_ARROW);
        if (state().arrow != nullptr)
            SDL_SetCursor(state().arrow);
    }
}

} // namespace sdl_layer

void sdl_win32_add_icon_image(int resource_id, int width, int height, const std::uint32_t *argb) {
    if (width <= 0 || height <= 0 || argb == nullptr)
        return;
    IconImage image;
    image.width = width;
    image.height = height;
    image.argb.assign(argb,
                      argb + static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    state().icon_resources[resource_id].push_back(std::move(image));
}

HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (instance == nullptr) {
        unsupported("LoadIconA", "a system icon");
        return nullptr;
    }
    if (!is_int_resource(name)) {
        unsupported("LoadIconA", "an icon named by a string");
        return nullptr;
    }
    const int id = static_cast<int>(reinterpret_cast<std::uintptr_t>(name));
    // A missing resource is an ordinary failure, as on Windows.
    if (instance != sdl_win32_module() || state().icon_resources.count(id) == 0)
        return nullptr;
    // Icons loaded from resources are shared: the same resource gives the same handle.
    for (const auto &icon : state().icons)
        if (icon.second == id)
            return reinterpret_cast<HICON>(icon.first);
    const HICON icon = new_handle<HICON>();
    state().icons[handle_key(icon)] = id;
    return icon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (instance != nullptr || name != IDC_ARROW) {
        unsupported("LoadCursorA", "a cursor other than the system arrow");
        return nullptr;
    }
    if (state().arrow_cursor == nullptr)
        state().arrow_cursor = new_handle<HCURSOR>();
    return state().arrow_cursor;
}
