#include "JackServer.h"

#include <QStandardPaths>

#include <jack/jack.h>

#include <chrono>
#include <thread>

namespace tq {
namespace {

using namespace std::chrono_literals;

void Quiet(const char*) {}

// Quiet while the server comes up, which libjack would print each failed attempt of; what
// prints afterwards is left as it was, as the code under test may have set it.
bool AcceptsClients() {
    const auto error = jack_error_callback;
    const auto info = jack_info_callback;
    jack_set_error_function(Quiet);
    jack_set_info_function(Quiet);
    jack_status_t status{};
    jack_client_t* probe = jack_client_open("tonquill-probe", JackNoStartServer, &status);
    if (probe != nullptr) {
        jack_client_close(probe);
    }
    jack_set_error_function(error);
    jack_set_info_function(info);
    return probe != nullptr;
}

} // namespace

JackServer::JackServer(int periodFrames) : periodFrames_(periodFrames) {
    qputenv("JACK_DEFAULT_SERVER", kName);
    qputenv("JACK_NO_AUDIO_RESERVATION", "1");
}

bool JackServer::Installed() {
    return !QStandardPaths::findExecutable(QStringLiteral("jackd")).isEmpty();
}

bool JackServer::Start(std::string* why) {
    if (!Installed()) {
        *why = "jackd is not installed";
        return false;
    }
    process_.setProcessChannelMode(QProcess::MergedChannels);
    process_.start(QStandardPaths::findExecutable(QStringLiteral("jackd")),
                   {QStringLiteral("--no-realtime"), QStringLiteral("-d"), QStringLiteral("dummy"),
                    QStringLiteral("-r"), QStringLiteral("48000"), QStringLiteral("-p"),
                    QString::number(periodFrames_)});
    if (!process_.waitForStarted(3000)) {
        *why = "jackd did not start";
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + 5s;
    while (std::chrono::steady_clock::now() < until) {
        if (AcceptsClients()) {
            return true;
        }
        std::this_thread::sleep_for(50ms);
    }
    *why = "jackd never accepted a client: " + process_.readAll().toStdString();
    return false;
}

void JackServer::Stop() {
    if (process_.state() != QProcess::NotRunning) {
        process_.terminate();
        if (!process_.waitForFinished(3000)) {
            process_.kill();
            process_.waitForFinished(1000);
        }
    }
}

void JackServer::Kill() {
    if (process_.state() != QProcess::NotRunning) {
        process_.kill();
        process_.waitForFinished(3000);
    }
}

} // namespace tq
