// A program's own stack, switched to and from by the scheduler on the one host thread. The
// address sanitizer is told of every switch, so that sanitizer builds keep working.
#ifndef PLATFORM_KERNEL_FIBER_H
#define PLATFORM_KERNEL_FIBER_H

#include <ucontext.h>

#include <cstddef>
#include <functional>
#include <vector>

class Fiber {
  public:
    explicit Fiber(std::function<void()> body);
    ~Fiber();
    Fiber(const Fiber &) = delete;
    Fiber &operator=(const Fiber &) = delete;

    // From the scheduler: runs the fiber until it yields or its body returns.
    void Resume();
    bool Finished() const {
        return finished_;
    }
    // From inside a fiber: back to the scheduler, until the next Resume.
    static void Yield();
    // The fiber that runs now, or null on the scheduler's own stack.
    static Fiber *Running();

  private:
    static void Start(unsigned int high, unsigned int low);
    void Run();

    std::function<void()> body_;
    std::vector<char> stack_;
    ucontext_t context_;
    void *fakeStack_ = nullptr;
    bool started_ = false;
    bool finished_ = false;
};

#endif
