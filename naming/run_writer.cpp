#include "naming/run_writer.h"

#include "frame/platform.h"

void startRunWriter(RunWriter& writer, const NamingRun& run) {
    writer.out = run.out;
    writer.err = run.err;
    startProgress(writer.progress, run.err, run.files);
}

bool writeOutput(RunWriter& writer, std::string& text) {
    if (!writer.writeFailed && !text.empty() &&
        std::fwrite(text.data(), 1, text.size(), writer.out) != text.size()) {
        writer.writeFailed = true;
    }
    text.clear();
    return !writer.writeFailed;
}

void writeMessages(RunWriter& writer, std::string& messages) {
    if (messages.empty()) return;
    clearProgress(writer.progress);
    std::fwrite(messages.data(), 1, messages.size(), writer.err);
    messages.clear();
}

std::string cannotReadMessage(const std::string& file, int error) {
    // Standard input is no path: a folder named "-" is not what failed.
    const std::string reason = fileErrorText(file == "-" ? std::string() : file, error);
    return "teseco: " + file + ": cannot read file: " + reason + "\n";
}

void sayCannotRead(RunWriter& writer, const std::string& file, int error) {
    std::string message = cannotReadMessage(file, error);
    writeMessages(writer, message);
}

void endRunWriter(RunWriter& writer) {
    clearProgress(writer.progress);
}
