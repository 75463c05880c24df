#pragma once

// The mobile app's WiFi server as the scripted network finds it: a fake web server on a
// loopback address of its own, so that it can have the app's port, and the only server
// the network lists.
#include "FakeHttpServer.h"
#include "FakeServiceBrowser.h"

#include <gtest/gtest.h>

#include <memory>

#include <unistd.h>

inline std::unique_ptr<FakeHttpServer> listenAsMobileApp(FakeServiceBrowser::Network& network, quint16 port,
                                                         const QString& name = QStringLiteral("Pad"))
{
    for (int tries = 0, n = 2 + getpid() % 250; tries < 253; ++tries, n = 2 + (n - 1) % 253) {
        const QHostAddress address(QStringLiteral("127.0.0.%1").arg(n));
        auto server = std::make_unique<FakeHttpServer>(address, port);
        if (server->isListening()) {
            network.servers = {{name, {address}, port}};
            return server;
        }
    }
    ADD_FAILURE() << "no loopback address free for port " << port;
    return std::make_unique<FakeHttpServer>();
}
