#include "ModuleReport.h"

#include <cstdio>

#include "common/Json.h"

namespace vorenta {

std::string Iso8601(const std::tm& local, unsigned milliseconds, long offsetSeconds) {
    const char sign = offsetSeconds < 0 ? '-' : '+';
    const long offset = offsetSeconds < 0 ? -offsetSeconds : offsetSeconds;
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03u%c%02ld:%02ld",
                  local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                  local.tm_min, local.tm_sec, milliseconds % 1000U, sign, offset / 3600,
                  offset / 60 % 60);
    return text;
}

long OffsetFromUtc(const std::tm& local, std::time_t moment) {
    // Days since 1970-01-01 of the local date (the civil calendar's own rule),
    // so the local time read as UTC minus the moment is the zone's offset.
    const long long year = local.tm_year + 1900LL - (local.tm_mon < 2 ? 1 : 0);
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long month = local.tm_mon + 1;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + local.tm_mday - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const long long days = era * 146097 + dayOfEra - 719468;
    const long long asUtc =
        days * 86400 + local.tm_hour * 3600LL + local.tm_min * 60LL + local.tm_sec;
    return static_cast<long>(asUtc - static_cast<long long>(moment));
}

std::string LocalIso8601(std::chrono::system_clock::time_point when) {
    using namespace std::chrono;
    const auto sinceEpoch = duration_cast<milliseconds>(when.time_since_epoch()).count();
    auto seconds = static_cast<std::time_t>(sinceEpoch / 1000);
    auto millis = sinceEpoch % 1000;
    if (millis < 0) {
        millis += 1000;
        --seconds;
    }
    std::tm local{};
#ifdef _WIN32
    if (::localtime_s(&local, &seconds) != 0) {
        return {};
    }
#else
    if (::localtime_r(&seconds, &local) == nullptr) {
        return {};
    }
#endif
    return Iso8601(local, static_cast<unsigned>(millis), OffsetFromUtc(local, seconds));
}

std::string ModuleRecordJson(const ModuleRecord& record) {
    JsonObject json;
    json.Text("start", LocalIso8601(record.start));
    json.Text("end", LocalIso8601(record.end));
    json.Text("port", record.port);
    json.Text("device", record.device);
    json.Number("module", record.module);
    json.Text("firmwareFile", record.firmwareFile);
    json.Raw("firmwareSize",
             record.firmwareSize ? std::to_string(*record.firmwareSize) : std::string("null"));
    json.Raw("firmwareSha256",
             record.firmwareSha256.empty() ? "null" : JsonString(record.firmwareSha256));
    json.Text("version", record.version);
    json.Raw("bootLoader", record.bootLoader.empty() ? "null" : JsonString(record.bootLoader));
    json.Number("pages", record.pages);
    json.Number("lastPage", record.lastPage);
    JsonObject resends;
    for (const auto& [page, times] : record.resends) {
        resends.Number(std::to_string(page), times);
    }
    json.Raw("resends", resends.Close());
    json.Text("outcome", record.outcome);
    json.Integer("exitStatus", record.exitStatus);
    json.Number("durationMs", record.durationMs);
    return json.Close();
}

std::unique_ptr<ReportFile> ReportFile::Open(IFileSystem& files, const std::string& path,
                                             std::string& error) {
    auto file = files.OpenForAppend(path, error);
    if (!file) {
        return nullptr;
    }
    return std::unique_ptr<ReportFile>(new ReportFile(std::move(file)));
}

bool ReportFile::EndsWithWholeLine() {
    const auto length = file_->Length();
    if (!length || *length == 0) {
        return true;
    }
    std::uint8_t last = 0;
    // A record that cannot be read back (open for writing only) is trusted.
    if (!file_->Seek(*length - 1) || file_->Read(&last, 1) != 1) {
        return true;
    }
    return last == '\n';
}

bool ReportFile::Append(std::string_view line) {
    const std::lock_guard lock(mutex_);
    // A line cut short (a full disk, a killed writer) is ended first, so the
    // new record is a line of its own and still parses.
    std::string whole = EndsWithWholeLine() ? std::string() : std::string(1, '\n');
    whole.append(line);
    whole += '\n';
    // A line is written whole in one go, then synced.
    return file_->Write(reinterpret_cast<const std::uint8_t*>(whole.data()), whole.size()) ==
               static_cast<long>(whole.size()) &&
           file_->Flush();
}

}  // namespace vorenta
