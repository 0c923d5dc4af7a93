#pragma once
// A stand-in host in the test process: the add-on's units linked in, the host's table handed over,
// the add-on's resource file open, and a user agent that the test controls.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DG/UserAgent.h"
#include "Host.h"
#include "Host/FunctionTable.h"
#include "Host/ModuleEntry.h"
#include "PreferenceStore.h"
#include "Registry.h"
#include "ReportWindow.h"

class ScriptedAgent : public DG::UserAgent {
public:
    int16_t AnswerAlert(const DG::AlertRequest& alert) override {
        alerts.push_back(alert);
        if (onAlert) onAlert(alert);
        if (answers.empty()) return 1;
        const int16_t a = answers.front();
        answers.erase(answers.begin());
        return a;
    }
    DG::FileDialogAnswer AnswerFileDialog(const DG::FileDialogRequest& request) override {
        fileDialogs.push_back(request);
        if (files.empty()) return {};
        DG::FileDialogAnswer a = files.front();
        files.erase(files.begin());
        return a;
    }
    std::vector<std::string> AnswerDialog(const DG::DialogRequest& request) override {
        dialogs.push_back(request);
        if (dialogAnswers.empty()) return {};
        std::vector<std::string> a = dialogAnswers.front();
        dialogAnswers.erase(dialogAnswers.begin());
        return a;
    }
    std::vector<DG::AlertRequest> alerts;
    std::vector<DG::DialogRequest> dialogs;
    std::vector<std::vector<std::string>> dialogAnswers;
    std::vector<int16_t> answers;
    std::vector<DG::FileDialogRequest> fileDialogs;
    std::vector<DG::FileDialogAnswer> files;
    std::function<void(const DG::AlertRequest&)> onAlert;
};

class HostedAddOnTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ModuleEntry::OpenOwnResourceFileAt(PW_RESOURCE_FILE));
        CadHost::Host::Get().ForgetAddOn();
        CadHost::Host::Get().SetPreferenceStore(std::make_unique<CadHost::PreferenceStore>());
        CadHost::Host::Get().sharedProject = false;
        CadHost::Host::Get().signedInUser = 0;
        const ApiFunctionTable table = CadHost::Registry::Get().BuildTable();
        ASSERT_EQ(SetImportedFuncAddrs(&table), 0);
        ReportWindow::Clear();
        DG::SetUserAgent(&agent);
    }
    void TearDown() override {
        if (started) My_FreeData();
        DG::SetUserAgent(nullptr);
        FunctionTable::Reset();
        CadHost::Host::Get().ForgetAddOn();
    }
    // The host's start-up sequence.
    void Start() {
        API_EnvirParams params{};
        ASSERT_EQ(My_CheckEnvironment(&params), 2);
        ASSERT_EQ(My_RegisterInterface(), ApiErr::NoError);
        ASSERT_EQ(My_Initialize(&clientRecord), ApiErr::NoError);
        started = true;
    }

    // Alert numbers shown so far.
    std::vector<int16_t> AlertIds() const {
        std::vector<int16_t> ids;
        for (const DG::AlertRequest& a : agent.alerts) ids.push_back(a.id);
        return ids;
    }

    ScriptedAgent agent;
    bool started = false;
    int clientRecord = 0;
};
