#pragma once
// A progress display for tests: logs every call as a short text and keeps what a user would see,
// with the bar clamped to its range like the progress control does.
#include <algorithm>
#include <string>
#include <vector>

#include "installmanager/ProgressDisplay.h"

class DisplayRecorder final : public ProgressDisplay {
public:
    DisplayRecorder() { SetProgressDisplay(this); }
    ~DisplayRecorder() override { SetProgressDisplay(nullptr); }

    void SetCurrentProduct(const std::string& text) override { Log("product " + (product = text)); }
    void SetAction(const std::string& text) override { Log("action " + (action = text)); }
    void SetActionDetail(const std::string& text) override { Log("detail " + (detail = text)); }
    void SetBarRange(int32_t maximum) override {
        Log("range " + std::to_string(barMaximum = maximum));
        Clamp();
    }
    void SetBarPosition(int32_t position) override {
        Log("pos " + std::to_string(position));
        Move(position);
    }
    void SetBarStep(int32_t step) override { Log("step " + std::to_string(barStep = step)); }
    void StepBar() override {
        Log("stepit");
        Move(static_cast<long long>(barPosition) + barStep);
    }
    void MoveBar(int32_t delta) override {
        Log("move " + std::to_string(delta));
        Move(static_cast<long long>(barPosition) + delta);
    }
    void BarToMinimum() override {
        Log("bar min");
        Move(0);
    }
    void BarToMaximum() override {
        Log("bar max");
        Move(barMaximum);
    }
    void EnableCancel(bool enabled) override { Log(std::string("cancel ") + ((cancelEnabled = enabled) ? "on" : "off")); }
    void ShowCancel(bool visible) override { Log(std::string("cancel ") + ((cancelVisible = visible) ? "shown" : "hidden")); }
    void ProcessMessages() override { ++pumps; }

    // Calls whose log text starts with `prefix`, in order.
    std::vector<std::string> Calls(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& call : calls)
            if (call.compare(0, prefix.size(), prefix) == 0) found.push_back(call);
        return found;
    }

    std::vector<std::string> calls;
    std::string product, action, detail;
    int32_t barMaximum = 100, barPosition = 0, barStep = 10;
    bool cancelEnabled = true, cancelVisible = true;
    int pumps = 0;

private:
    void Log(const std::string& call) { calls.push_back(call); }
    void Move(long long to) { barPosition = static_cast<int32_t>(std::max<long long>(0, std::min<long long>(to, barMaximum))); }
    void Clamp() { Move(barPosition); }
};
