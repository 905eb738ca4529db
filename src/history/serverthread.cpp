#include "history/serverthread.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include <unistd.h>

namespace kelvra {

struct ServerThread::State
{
    std::mutex mutex;
    std::condition_variable ended;
    bool done = false;
    std::thread thread;
    std::shared_ptr<void> uses;

    // Joins when the body has ended within wait; the join then only waits for the thread's own end.
    bool JoinWithin(std::chrono::milliseconds wait)
    {
        {
            std::unique_lock<std::mutex> lock(mutex);
            if (!ended.wait_for(lock, wait, [this] { return done; }))
                return false;
        }
        thread.join();
        return true;
    }
};

namespace {

// Never destroyed: a kept thread and what it uses stay reachable, for a leak checker too, to the very end.
std::vector<std::shared_ptr<ServerThread::State>> &Kept()
{
    static auto *kept = new std::vector<std::shared_ptr<ServerThread::State>>;
    return *kept;
}

void JoinEnded()
{
    auto &kept = Kept();
    for (auto it = kept.begin(); it != kept.end();)
        it = (*it)->JoinWithin(std::chrono::milliseconds(0)) ? kept.erase(it) : it + 1;
}

} // namespace

ServerThread::ServerThread(std::function<void()> body) : m_state(std::make_shared<State>())
{
    // The state outlives the thread: it is dropped only once the thread is joined.
    State *state = m_state.get();
    m_state->thread = std::thread([state, body = std::move(body)] {
        body();
        std::lock_guard<std::mutex> lock(state->mutex);
        state->done = true;
        state->ended.notify_all();
    });
}

ServerThread::~ServerThread()
{
    Join(std::chrono::milliseconds(0));
}

bool ServerThread::Join(std::chrono::milliseconds wait, std::shared_ptr<void> uses)
{
    if (!m_state)
        return true;
    const std::shared_ptr<State> state = std::exchange(m_state, nullptr);
    if (state->JoinWithin(wait))
        return true;
    state->uses = std::move(uses);
    JoinEnded();
    Kept().push_back(state);
    return false;
}

int EndProcess(int exitCode)
{
    JoinEnded();
    if (Kept().empty())
        return exitCode;
    std::fflush(nullptr);
    ::_exit(exitCode);
}

} // namespace kelvra
