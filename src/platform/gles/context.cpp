// Contexts: loading a platform's ES 2.0 functions, the state each context starts with, and the
// one-line reports of calls the subset does not handle.
#include "platform/gles/gl_subset.h"
#include "platform/gles/program.h"
#include "platform/gles/state.h"

#include <cstdio>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <utility>

namespace gl_subset {

namespace {

std::map<const void *, std::unique_ptr<Context>> contexts;
Context *current_context = nullptr;

const Matrix identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

void reset_stack(MatrixStack &stack, std::size_t max_depth) {
    stack.entries.assign(1, identity);
    stack.max_depth = max_depth;
}

bool load_functions(Es2 &es, GlSubsetLoader loader) {
    bool complete = true;
#define GL_SUBSET_ES2_LOAD(result, name, parameters)                                               \
    es.name = reinterpret_cast<result(*) parameters>(loader("gl" #name));                          \
    if (es.name == nullptr) {                                                                      \
        std::fprintf(stderr, "helicoid: gl subset: the loader has no gl%s\n", #name);              \
        complete = false;                                                                          \
    }
    GL_SUBSET_ES2_FUNCTIONS(GL_SUBSET_ES2_LOAD)
#undef GL_SUBSET_ES2_LOAD
    return complete;
}

// The buffer and the texture the subset draws with, the texture bound for good.
void make_objects(Context &context) {
    const Es2 &es = context.es;
    es.GenBuffers(1, &context.buffer);
    es.GenTextures(1, &context.texture);
    es.ActiveTexture(GL_TEXTURE0);
    es.BindTexture(GL_TEXTURE_2D, context.texture);
}

std::unique_ptr<Context> new_context(GlSubsetLoader loader) {
    auto context = std::make_unique<Context>();
    // One program built now, so that a context that cannot build them says so here rather than
    // at the first draw.
    ProgramKey first;
    if (!load_functions(context->es, loader) || program_for(*context, first) == nullptr)
        return nullptr;
    reset_stack(context->modelview, 32); // OpenGL 1.1's minimum depths
    reset_stack(context->projection, 2);
    // Light 0 alone starts white; the viewer keeps its colours.
    for (int i = 0; i < 4; ++i)
        context->lights[0].diffuse[i] = context->lights[0].specular[i] = 1;
    make_objects(*context);
    const Es2 &es = context->es;
    const char *renderer = reinterpret_cast<const char *>(es.GetString(GL_RENDERER));
    context->renderer = std::string("OpenGL 1.1 subset over ") + (renderer ? renderer : "?");
    return context;
}

} // namespace

Context *current() {
    return current_context;
}

MatrixStack &current_stack(Context &context) {
    return context.matrix_mode == GL_PROJECTION ? context.projection : context.modelview;
}

Context *ready(const char *call) {
    if (current_context == nullptr) {
        report(call, "no current context");
        return nullptr;
    }
    if (current_context->inside_begin) {
        report(call, "not allowed between glBegin and glEnd");
        return nullptr;
    }
    return current_context;
}

void report(const char *call, const char *what, unsigned value) {
    static std::set<std::pair<std::string, unsigned>> reported;
    if (reported.insert({std::string(call) + what, value}).second)
        std::fprintf(stderr, "helicoid: gl subset: %s: %s 0x%04x is not handled\n", call, what,
                     value);
}

void report(const char *call, const char *what) {
    static std::set<std::string> reported;
    if (reported.insert(std::string(call) + what).second)
        std::fprintf(stderr, "helicoid: gl subset: %s: %s\n", call, what);
}

} // namespace gl_subset

using namespace gl_subset;

bool gl_subset_make_current(const void *context, GlSubsetLoader loader) {
    current_context = nullptr;
    if (context == nullptr)
        return true;
    auto found = contexts.find(context);
    if (found == contexts.end()) {
        if (loader == nullptr)
            return false;
        std::unique_ptr<Context> made = new_context(loader);
        if (!made)
            return false;
        found = contexts.emplace(context, std::move(made)).first;
    }
    current_context = found->second.get();
    return true;
}

void gl_subset_forget(const void *context) {
    const auto found = contexts.find(context);
    if (found == contexts.end())
        return;
    if (current_context == found->second.get())
        current_context = nullptr;
    contexts.erase(found);
}

void gl_subset_lost(const void *context) {
    const auto found = contexts.find(context);
    if (found != contexts.end())
        found->second->lost = true;
}

// A context that comes back starts from ES's initial state, with none of its objects: they are
// made again, and what the subset handed ES once is handed again; per-draw state is set per draw.
bool gl_subset_restored(const void *context) {
    const auto found = contexts.find(context);
    if (found == contexts.end())
        return false;
    Context &c = *found->second;
    const Es2 &es = c.es;
    c.lost = false;
    c.programs.clear();
    make_objects(c);
    for (const auto &[pname, value] : c.texture_parameters)
        es.TexParameteri(GL_TEXTURE_2D, pname, value);
    if (c.texture_width != 0)
        upload_texture(c);
    es.PixelStorei(GL_PACK_ALIGNMENT, c.pack_alignment);
    es.ClearColor(c.clear_colour[0], c.clear_colour[1], c.clear_colour[2], c.clear_colour[3]);
    if (c.depth_test)
        es.Enable(GL_DEPTH_TEST);
    if (c.cull_face)
        es.Enable(GL_CULL_FACE);
    return program_for(c, ProgramKey{}) != nullptr;
}
