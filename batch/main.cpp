// sepmet-batch: the window's commands and recalculation without a display, for automation,
// validation and the demo.

#include "batch/batch_audit.h"
#include "batch/batch_options.h"
#include "batch/batch_output.h"
#include "batch/batch_session.h"
#include "batch/database_check.h"
#include "data/connection.h"
#include "platform/console.h"
#include "platform/output_guard.h"
#include "platform/shared_data_folder.h"
#include "platform/system_log.h"
#include "platform/utf.h"
#include "report/report_file.h"

#include <iostream>
#include <memory>

namespace {

constexpr int kExitRan = 0;
constexpr int kExitOutput = 1;
constexpr int kExitUsage = 2;
constexpr int kExitDatabase = 3;
constexpr int kExitReport = 4;

// Writes the outputs asked for; false when one of them failed (the reason is on stderr).
bool WriteOutputs(const sepmet::batch::BatchOptions& options,
                  const sepmet::batch::BatchSession& session, sepmet::ReportTransformHook* hook) {
    bool ok = true;
    // Built once: --xml writes the very text the report transforms.
    std::u16string document;
    if (!options.xmlPath.empty() || !options.reportPath.empty())
        document = sepmet::BuildReportXml(session.Assays(), session.State(), session.Log());
    if (!options.xmlPath.empty()) {
        std::string error = sepmet::WriteReportXml(document, options.xmlPath);
        if (!error.empty()) {
            std::cerr << "sepmet-batch: cannot write " << options.xmlPath << ": " << error << "\n";
            ok = false;
        }
    }
    if (!options.reportPath.empty()) {
        switch (sepmet::WriteReportFile(session.Assays(), session.State(), session.Log(),
                                        options.reportPath, options.templatePath, &document,
                                        hook)) {
        case sepmet::ReportFileOutcome::Written:
            std::cerr << "sepmet-batch: report written to " << options.reportPath << "\n";
            break;
        case sepmet::ReportFileOutcome::Failed: // the message box text is already on stderr
            ok = false;
            break;
        case sepmet::ReportFileOutcome::NoSharedDataFolder:
            std::cerr << "sepmet-batch: no report template: no folder of $XDG_DATA_DIRS holds "
                         "Orvane4/Templates/sepmet/Report.xsl (or give --template FILE)\n";
            ok = false;
            break;
        }
    }
    return ok;
}

std::string OutputConflict(const sepmet::batch::BatchOptions& options) {
    std::string templatePath = options.templatePath;
    if (templatePath.empty() && !options.reportPath.empty())
        if (const auto folder = sepmet::SharedDataFolder())
            templatePath = sepmet::SharedDataFile(*folder, sepmet::kReportTemplateRelativePath);
    return sepmet::SameFileConflict(
        {{"--db", options.database}, {"--template", templatePath}, {"--audit", options.auditPath}},
        {{"--report", options.reportPath}, {"--xml", options.xmlPath}});
}

} // namespace

int main(int argc, char** argv) {
    using namespace sepmet::batch;
    sepmet::UseBinaryStandardStreams();
    std::string error;
    const std::optional<BatchOptions> options =
        ParseOptions(sepmet::ProgramArguments(argc, argv), error);
    if (!options) {
        std::cerr << "sepmet-batch: " << error << "\n" << UsageText();
        return kExitUsage;
    }
    if (options->action == BatchOptions::Action::VerifyAudit)
        return VerifyAuditFile(options->auditPath, options->expected, std::cout, std::cerr,
                               sepmet::DefaultSystemLog());
    if (options->action != BatchOptions::Action::Run) {
        if (options->action == BatchOptions::Action::ShowUsage)
            std::cout << UsageText();
        else
            std::cout << VersionText() << '\n';
        std::cout.flush();
        return std::cout ? kExitRan : kExitOutput;
    }
    // An output that is an input or another output would destroy it: refused before anything
    // is written.
    if (const std::string conflict = OutputConflict(*options); !conflict.empty()) {
        std::cerr << "sepmet-batch: " << conflict << "; nothing was written\n";
        return kExitUsage;
    }
    if (!CheckDatabase(options->database, error)) {
        std::cerr << "sepmet-batch: cannot use the database " << options->database << ": " << error
                  << "\n";
        return kExitDatabase;
    }

    std::unique_ptr<BatchAudit> audit; // nothing is recorded without --audit
    if (!options->auditPath.empty())
        audit = std::make_unique<BatchAudit>(options->auditPath, std::cerr, options->auditRequired);
    BatchSession session(sepmet::ProcessCalculationState(), options->settings,
                         audit ? &audit->Listener() : nullptr);
    for (const Command& command : options->commands) {
        const sepmet::CommandResult result = session.Run(command);
        if (result.databaseError) {
            std::cerr << "sepmet-batch: " << command.text << ": cannot open the database "
                      << options->database << ": " << sepmet::ToUtf8(*result.databaseError) << "\n";
            return kExitDatabase;
        }
        for (const UnloadedAssay& unloaded : session.Unloaded())
            std::cerr << UnloadedAssayText(unloaded) << '\n';
        if (options->json)
            std::cout << JsonLine(command, session) << '\n';
    }
    if (!options->json)
        std::cout << PagesText(session);
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "sepmet-batch: cannot write the output\n";
        return kExitOutput;
    }
    return WriteOutputs(*options, session, audit ? &audit->ReportHook() : nullptr) ? kExitRan
                                                                                   : kExitReport;
}
