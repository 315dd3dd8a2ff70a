// Recording fake of the panel operations and of the settings store.
#include "fake_platform.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

FakePlatform g_fake;

void ResetFakePlatform()
{
    g_fake = FakePlatform();
}

std::vector<PanelCall> CallsOf(const std::string &op)
{
    std::vector<PanelCall> found;
    for (const PanelCall &call : g_fake.calls)
        if (call.op == op)
            found.push_back(call);
    return found;
}

PanelWindow FakePanel()
{
    static int panel;
    return reinterpret_cast<PanelWindow>(&panel);
}

static void Record(const char *op, int id, const std::string &text)
{
    g_fake.calls.push_back(PanelCall{op, id, text});
}

void GetPanelText(PanelWindow, PanelField id, char *text, int size)
{
    std::string value = g_fake.texts[id];
    if (size <= 0)
        return;
    size_t n = value.size() < static_cast<size_t>(size - 1) ? value.size() : static_cast<size_t>(size - 1);
    std::memcpy(text, value.data(), n);
    text[n] = '\0';
    Record("GetText", id, std::string(text));
}

void SetPanelText(PanelWindow, PanelField id, const char *text)
{
    g_fake.texts[id] = text ? text : "";
    Record("SetText", id, g_fake.texts[id]);
}

void ShowProgressBarOnceLong(PanelWindow)
{
    g_fake.progressVisible = true;
    Record("ShowProgress", 0, "");
}

void StepProgressBar(PanelWindow)
{
    g_fake.progressPosition++;
    Record("StepProgress", 0, "");
}

void HideProgressBar(PanelWindow)
{
    g_fake.progressVisible = false;
    Record("HideProgress", 0, "");
}

void ResetProgressBar(PanelWindow)
{
    g_fake.progressPosition = 0;
    Record("ResetProgress", 0, "");
}

void KeepPanelPainted(PanelWindow, bool percentChanged)
{
    if (g_fake.recordKeepPainted || percentChanged)
        Record("KeepPainted", percentChanged ? 1 : 0, "");
}

// A real second thread, as in the program: the reports cross over to the
// calling thread through the same hand-off.
struct FakeRunThread {
    std::thread thread;
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
};

RunThread StartRunThread(PanelWindow, void (*work)(void *job), void *job)
{
    FakeRunThread *run = new FakeRunThread;
    run->thread = std::thread([run, work, job] {
        work(job);
        std::lock_guard<std::mutex> hold(run->lock);
        run->done = true;
        run->ended.notify_all();
    });
    return run;
}

bool AwaitRunThread(PanelWindow, RunThread thread, int milliseconds)
{
    FakeRunThread *run = static_cast<FakeRunThread *>(thread);
    {
        std::unique_lock<std::mutex> hold(run->lock);
        if (!run->ended.wait_for(hold, std::chrono::milliseconds(milliseconds), [run] { return run->done; }))
            return false;
    }
    run->thread.join();
    delete run;
    return true;
}

void FocusPanelControl(PanelWindow, PanelField id)
{
    Record("Focus", id, "");
}

void ShowErrorBox(PanelWindow, const char *text)
{
    Record("ErrorBox", 0, text);
}

int32_t ReadSetting(SettingKey key, const char *name)
{
    Record("ReadSetting", key, name);
    auto found = g_fake.store.find({key, name});
    return found == g_fake.store.end() ? -1 : found->second;
}

void WriteSetting(SettingKey key, const char *name, int32_t value)
{
    Record("WriteSetting", key, name);
    g_fake.store[{key, name}] = value;
}
