#pragma once

#include <chrono>
#include <functional>
#include <memory>

namespace kelvra {

// A thread of its own that talks to the workshop server. It is joined, not
// only waited for: the client libraries keep state per thread (the random
// generators of the password exchange among it) that is freed only as the
// thread ends, and an exit that overtook that would race it. A thread that
// its owner cannot wait for, caught in a connect or statement that hangs,
// ends within its timeouts; until then it is kept, with what it uses, and
// EndProcess ends the process without taking anything from under it.
// Started, joined and kept from the main thread.
class ServerThread
{
public:
    explicit ServerThread(std::function<void()> body);
    // Join(0) unless joined.
    ~ServerThread();
    ServerThread(const ServerThread &) = delete;
    ServerThread &operator=(const ServerThread &) = delete;

    // True when the body ended within wait and the thread is joined. False
    // when it still runs: it is kept, and what it uses with it, until it ends.
    bool Join(std::chrono::milliseconds wait, std::shared_ptr<void> uses = {});

    struct State; // the thread and whether its body has ended: the owner's, then the keeper's

private:
    std::shared_ptr<State> m_state;
};

// exitCode, once no thread kept by ServerThread runs any more. While one
// still runs, the process ends here and now with exitCode, its standard
// output and error flushed, with no static object destroyed and no exit
// handler run. The front ends return through it from main().
int EndProcess(int exitCode);

} // namespace kelvra
