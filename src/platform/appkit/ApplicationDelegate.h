#pragma once

// What the application asks of its delegate as it starts, activates and quits.
class ApplicationDelegate {
public:
    enum class TerminateReply { Now, Cancel, Later };

    virtual ~ApplicationDelegate() = default;

    virtual void applicationDidFinishLaunching() {}
    virtual void applicationDidBecomeActive() {}
    // Later: the delegate answers with Application::replyToApplicationShouldTerminate().
    virtual TerminateReply applicationShouldTerminate() { return TerminateReply::Now; }
    virtual void applicationWillTerminate() {}
    virtual bool applicationShouldTerminateAfterLastWindowClosed() { return false; }
    virtual bool applicationShouldOpenUntitledFile() { return false; }
};
