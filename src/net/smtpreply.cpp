#include "net/smtpreply.h"

std::string SmtpReply::Text() const {
    std::string out;
    for (const std::string& line : lines) {
        if (!out.empty()) out.push_back(' ');
        if (line.size() > 4) out += line.substr(4);
    }
    return out;
}

bool SmtpReplyReader::Feed(std::string_view line) {
    if (failed_) return false;
    if (complete_) {
        reply_ = SmtpReply();
        complete_ = false;
    }
    int code = 0;
    if (line.size() < 3 || (line.size() > 3 && line[3] != ' ' && line[3] != '-')) {
        failed_ = true;
        return false;
    }
    for (size_t i = 0; i < 3; ++i) {
        if (line[i] < '0' || line[i] > '9') {
            failed_ = true;
            return false;
        }
        code = code * 10 + (line[i] - '0');
    }
    if (code < 200 || code > 599 || (!reply_.lines.empty() && code != reply_.code) || reply_.lines.size() >= 100) {
        failed_ = true;
        return false;
    }
    reply_.code = code;
    reply_.lines.emplace_back(line);
    complete_ = line.size() == 3 || line[3] == ' ';
    return complete_;
}
