#include "kernel/fiber.h"

#include <cstdint>
#include <cstdlib>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLATFORM_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define PLATFORM_ADDRESS_SANITIZER 1
#endif

#ifdef PLATFORM_ADDRESS_SANITIZER
#include <sanitizer/asan_interface.h>
#include <sanitizer/common_interface_defs.h>
#endif

namespace {

#ifdef PLATFORM_ADDRESS_SANITIZER
const size_t stackSize = 1024 * 1024;
#else
const size_t stackSize = 256 * 1024;
#endif

Fiber *current = nullptr;
ucontext_t schedulerContext;
const void *schedulerStackBottom = nullptr;
size_t schedulerStackSize = 0;

void StartSwitch(void **fakeStack, const void *bottom, size_t size) {
#ifdef PLATFORM_ADDRESS_SANITIZER
    __sanitizer_start_switch_fiber(fakeStack, bottom, size);
#else
    (void)fakeStack;
    (void)bottom;
    (void)size;
#endif
}

void FinishSwitch(void *fakeStack, const void **oldBottom, size_t *oldSize) {
#ifdef PLATFORM_ADDRESS_SANITIZER
    __sanitizer_finish_switch_fiber(fakeStack, oldBottom, oldSize);
#else
    (void)fakeStack;
    (void)oldBottom;
    (void)oldSize;
#endif
}

} // namespace

Fiber::Fiber(std::function<void()> body) : body_(std::move(body)), stack_(stackSize) {}

// A fiber that never finished (its program was ended) leaves its frames' poison behind.
Fiber::~Fiber() {
#ifdef PLATFORM_ADDRESS_SANITIZER
    __asan_unpoison_memory_region(stack_.data(), stack_.size());
#endif
}

void Fiber::Start(unsigned int high, unsigned int low) {
    Fiber *self = reinterpret_cast<Fiber *>((static_cast<uintptr_t>(high) << 32) | low);
    FinishSwitch(nullptr, &schedulerStackBottom, &schedulerStackSize);
    self->Run();
}

void Fiber::Run() {
    body_();
    finished_ = true;
    current = nullptr;
    // A finished fiber never comes back: its fake stack can go.
    StartSwitch(nullptr, schedulerStackBottom, schedulerStackSize);
    setcontext(&schedulerContext);
}

void Fiber::Resume() {
    if (finished_ || current != nullptr) {
        return;
    }
    if (!started_) {
        started_ = true;
        getcontext(&context_);
        context_.uc_stack.ss_sp = stack_.data();
        context_.uc_stack.ss_size = stack_.size();
        context_.uc_link = nullptr;
        const uintptr_t self = reinterpret_cast<uintptr_t>(this);
        makecontext(&context_, reinterpret_cast<void (*)()>(&Fiber::Start), 2,
                    static_cast<unsigned int>(self >> 32), static_cast<unsigned int>(self));
    }
    current = this;
    void *schedulerFakeStack = nullptr;
    StartSwitch(&schedulerFakeStack, stack_.data(), stack_.size());
    swapcontext(&schedulerContext, &context_);
    FinishSwitch(schedulerFakeStack, nullptr, nullptr);
    current = nullptr;
}

Fiber *Fiber::Running() {
    return current;
}

void Fiber::Yield() {
    Fiber *self = current;
    if (self == nullptr) {
        return;
    }
    current = nullptr;
    StartSwitch(&self->fakeStack_, schedulerStackBottom, schedulerStackSize);
    swapcontext(&self->context_, &schedulerContext);
    FinishSwitch(self->fakeStack_, &schedulerStackBottom, &schedulerStackSize);
    current = self;
}
