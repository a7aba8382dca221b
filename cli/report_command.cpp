#include "cli/commands.h"

namespace thrustlet {

int RunReportCommand(const std::vector<std::string>& files, const ReportOptions& options) {
    int status = 0;
    bool alerted = false;
    for (const std::string& file : files) {
        std::optional<cMotor> motor = ReadMotor(file, options.json);
        if (!motor) {
            status = 1;
            continue;
        }
        // Figures that read as fine but are not: a failure of the run.
        if (const auto warning = ThroatWarning(*motor)) {
            Complain(file, "warning: " + *warning);
            status = 1;
        }
        const MotorReport report = ReportMotor(file, *motor, options.curve, options.search, options.target, options.trace);
        // Propellant values that give no figures, and a target no throat
        // reaches, are named on standard error whatever the form of the report.
        if (!report.performance_problem.empty()) Complain(file, report.performance_problem);
        if (!report.nozzle_for_target.error.empty()) Complain(file, report.nozzle_for_target.error);
        if (!report.target_note.empty()) Complain(file, report.target_note);
        Write(stdout, options.json ? ReportJson(report) : ReportText(report));
        // The text report of a design without a unit has no alert lines: an
        // alert that fails the run is said on standard error all the same.
        if (options.fail_on_alert && !options.json && !report.has_propellant) {
            for (const Alert& alert : report.alerts) Complain(file, "alert: " + alert.message);
        }
        if (HasFailedFigure(report) || !report.target_note.empty()) status = 1;
        alerted = alerted || !report.alerts.empty();
    }
    return status == 0 && alerted && options.fail_on_alert ? 3 : status;
}

}  // namespace thrustlet
