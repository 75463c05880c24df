#pragma once

#include <QString>

class DialingSteps;

// Dials one number without a sheet: by tones on the speaker, or through the modem on its
// port. Class operations only; the port and the dial going out belong to the class, and
// a new dial stops the one still going out.
class EditorDialingController {
public:
    // The dialing methods of the preferences.
    static constexpr int speakerDialingMethod = 2;
    static constexpr int modemDialingMethod = 3;
    // The pause after each tone.
    static constexpr double toneDialDelay = 0.25;

    // The descriptor of the opened port, or -1.
    static int openSerialPort(const QString& path);
    // Gives the port its attributes back and closes it; nothing for -1.
    static void closeSerialPort(int fileDescriptor);
    static void doSpeakerDialing(const QString& number);
    // The start string, the number and ";\r\n", then the dialing delay, then the port is
    // closed. A port that cannot be opened opens the preferences instead.
    static void doModemDialing(const QString& number, const QString& modemPath);
    // Method 2 by the speaker, any other by the modem at the path.
    static void dialPhoneNumber(const QString& number, const QString& modemPath, int dialingMethod);

    // Stops the dial going out: nothing more is sent and the port is closed.
    static void cancelDialing();
    static const DialingSteps& steps();
};
