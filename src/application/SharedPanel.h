#pragma once

// A window of which the application keeps exactly one (Preferences, Find and
// Replace, Multi-File Find, the mobile-app list request).
class SharedPanel {
public:
    virtual ~SharedPanel() = default;
    // Shown the first time, or started again (the list request).
    virtual void open() = 0;
    virtual void bringToFront() = 0;
};
