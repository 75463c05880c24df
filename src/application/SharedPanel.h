#pragma once

#include <memory>

// A window of which the application keeps exactly one (Preferences, Find and
// Replace, Multi-File Find, the mobile-app list request).
class SharedPanel {
public:
    virtual ~SharedPanel() = default;
    // Shown the first time, or started again (the list request).
    virtual void open() = 0;
    virtual void bringToFront() = 0;
};

// A panel whose controller lives below the application, opened and brought forward by
// the controller's own calls.
template <typename Controller> class SharedPanelOf : public SharedPanel {
public:
    using Call = void (Controller::*)();

    SharedPanelOf(std::unique_ptr<Controller> controller, Call open, Call bringToFront)
        : m_controller(std::move(controller)), m_open(open), m_bringToFront(bringToFront)
    {
    }

    void open() override { (m_controller.get()->*m_open)(); }
    void bringToFront() override { (m_controller.get()->*m_bringToFront)(); }
    Controller& controller() const { return *m_controller; }

private:
    std::unique_ptr<Controller> m_controller;
    Call m_open;
    Call m_bringToFront;
};
