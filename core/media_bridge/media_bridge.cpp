#include "core/media_bridge/media_bridge.h"

#include <optional>
#include <set>
#include <utility>

#include "core/media_bridge/bridge_command.h"
#include "core/media_bridge/now_playing_report.h"

namespace tavrel {

struct MediaBridge::State {
    platform::NowPlayingSource& source;
    platform::MainQueue& queue;
    LineWriter write;
    std::uint64_t generation = 0;
    std::uint64_t finishedGeneration = 0;  // the newest request whose report went out
    std::set<platform::MainQueue::TaskId> delayedReports;
    // Set by finishInput: what to run once nothing the input asked for is outstanding.
    std::function<void()> onInputDone;
    bool commandsDelivered = false;

    void writeRecord(const nlohmann::json& record) {
        // A record that cannot be serialised is not written; the next one may well be.
        if (auto line = encodeBridgeRecord(record)) write(*line);
    }

    void checkInputDone() {
        if (!onInputDone || !commandsDelivered || !delayedReports.empty() ||
            finishedGeneration != generation) {
            return;
        }
        auto done = std::move(onInputDone);
        onInputDone = nullptr;
        done();
    }
};

namespace {

// The answers to one report request, filled in as the three call-backs arrive.
struct PendingReport {
    std::uint64_t generation = 0;
    std::optional<platform::NowPlayingInfo> info;
    bool isPlaying = false;
    std::int64_t pid = 0;
    bool haveInfo = false;
    bool haveIsPlaying = false;
    bool havePid = false;

    bool complete() const { return haveInfo && haveIsPlaying && havePid; }
};

}  // namespace

MediaBridge::MediaBridge(platform::NowPlayingSource& source, platform::MainQueue& queue,
                         LineWriter write)
    : state_(std::make_shared<State>(State{source, queue, std::move(write), 0, 0, {}, {}, false})) {
}

MediaBridge::~MediaBridge() {
    for (auto id : state_->delayedReports) state_->queue.cancel(id);
}

std::uint64_t MediaBridge::generation() const {
    return state_->generation;
}

void MediaBridge::start() {
    std::weak_ptr<State> weak = state_;
    state_->source.registerForNowPlayingNotifications([this, weak](platform::NowPlayingChange) {
        if (weak.lock()) requestReport();
    });
    requestReport();
}

void MediaBridge::handleLine(std::string_view line) {
    const BridgeCommand command = parseBridgeCommand(line);
    switch (command.kind) {
        case BridgeCommand::Kind::ignore:
            return;
        case BridgeCommand::Kind::refresh:
            requestReport();
            return;
        case BridgeCommand::Kind::send: {
            const bool accepted = state_->source.sendCommand(command.number);
            state_->writeRecord(makeCommandAnswer(command.number, accepted));
            std::weak_ptr<State> weak = state_;
            auto id = std::make_shared<platform::MainQueue::TaskId>(0);
            *id = state_->queue.asyncAfter(kReportDelayAfterCommand, [this, weak, id] {
                if (!weak.lock()) return;
                state_->delayedReports.erase(*id);
                requestReport();
                state_->checkInputDone();
            });
            state_->delayedReports.insert(*id);
            return;
        }
    }
}

void MediaBridge::requestReport() {
    const std::uint64_t generation = ++state_->generation;
    auto pending = std::make_shared<PendingReport>();
    pending->generation = generation;
    std::weak_ptr<State> weak = state_;

    // Runs after each answer; writes once all three are in, unless a newer request superseded
    // this one. An answer that arrives twice is ignored.
    auto finish = [weak, pending] {
        if (!pending->complete()) return;
        auto state = weak.lock();
        if (!state || state->generation != pending->generation) return;
        state->writeRecord(makeNowPlayingReport(pending->info, pending->isPlaying, pending->pid));
        state->finishedGeneration = pending->generation;
        state->checkInputDone();
    };

    state_->source.getNowPlayingInfo(
        [pending, finish](std::optional<platform::NowPlayingInfo> info) {
            if (pending->haveInfo) return;
            pending->info = std::move(info);
            pending->haveInfo = true;
            finish();
        });
    state_->source.getNowPlayingApplicationIsPlaying([pending, finish](bool isPlaying) {
        if (pending->haveIsPlaying) return;
        pending->isPlaying = isPlaying;
        pending->haveIsPlaying = true;
        finish();
    });
    state_->source.getNowPlayingApplicationPID([pending, finish](std::int64_t pid) {
        if (pending->havePid) return;
        pending->pid = pid;
        pending->havePid = true;
        finish();
    });
}

void MediaBridge::finishInput(std::function<void()> done) {
    state_->onInputDone = std::move(done);
    state_->commandsDelivered = false;
    std::weak_ptr<State> weak = state_;
    state_->source.whenCommandsDelivered([weak] {
        auto state = weak.lock();
        if (!state) return;
        state->commandsDelivered = true;
        state->checkInputDone();
    });
}

}  // namespace tavrel
