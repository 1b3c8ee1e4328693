// A second thread for the checks that act on an instance from two threads at
// once, as a host's audio and editor threads do. It runs `work` until the
// owner's scope ends, which stops and joins it on every way out, a failing
// check's exception included. Whatever `work` throws is kept as its
// Failure() instead of leaving the thread.
#pragma once

#include <atomic>
#include <exception>
#include <functional>
#include <string>
#include <thread>

class SecondThread
{
public:
    // `work` is called with the stop flag and returns when it is set.
    explicit SecondThread(std::function<void(const std::atomic<bool>& stop)> work)
        : thread(
              [this, work]()
              {
                  try
                  {
                      work(stop);
                  }
                  catch (const std::exception& e)
                  {
                      failure = e.what();
                  }
                  catch (...)
                  {
                      failure = "the plug-in threw an exception";
                  }
              })
    {
    }

    ~SecondThread() { Stop(); }
    SecondThread(const SecondThread&) = delete;
    SecondThread& operator=(const SecondThread&) = delete;

    void Stop()
    {
        stop = true;
        if (thread.joinable())
        {
            thread.join();
        }
    }

    // Empty unless `work` threw; read after Stop.
    const std::string& Failure() const { return failure; }

private:
    std::atomic<bool> stop{false};
    std::string failure;
    std::thread thread;
};
