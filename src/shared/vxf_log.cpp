// The connection log VXF_LOG: opens, recreates, shows and closes this
// thread's log, and appends any other text as one line.
#include "shared/vxf_log.h"

#include "platform/datafile.h"
#include "platform/platform.h"
#include "shared/morv_sf.h"
#include "ui/toolkit.h"

namespace vx {

Text<222> GLO_LOGFILE;

namespace {

// Each thread has its own log object and open state; the name is shared.
DataFile& logFile() {
    thread_local DataFile file(GLO_LOGFILE);
    return file;
}

class LogFileUse : public ui::FileUse {
public:
    int& usedCount() override {
        thread_local int used = 0;
        return used;
    }
    void openGuarded() override { CHECKOPEN(logFile(), uint8_t(1)); }
    void close() override { logFile().close(); }
};

// "NEW" and "OTVORI": a blank A2 means a bare name in the current directory.
void chooseName(std::string_view A2) {
    if (isBlank(A2)) GLO_LOGFILE = "vxlog.log";
    else GLO_LOGFILE = clip(A2);
}

}  // namespace

ui::FileUse& LOGFILE() {
    static LogFileUse use;
    return use;
}

void closeLogFile() { logFile().close(); }

void VXF_LOG(std::string_view A1, std::string_view A2) {
    DataFile& log = logFile();
    const std::string command = clip(A1);
    if (command == "NEW") {
        chooseName(A2);
        log.close();
        log.create();
        CHECKOPEN(log, uint8_t(1));
    } else if (command == "OTVORI") {
        chooseName(A2);
        CHECKOPEN(log, uint8_t(1));
    } else if (command == "PRIKAZI") {
        // The viewer's command line: program name, three blanks, the file.
        platform().processes->start("Write.exe   " + GLO_LOGFILE.clip());
        log.close();
    } else if (command == "ZATVORI") {
        log.close();
    } else {
        CHECKOPEN(log, uint8_t(1));
        log.RED = A1;
        log.append();
        if (lastFileError().code != FILE_OK) {
            ui::MessageSpec m;
            m.text = lastFileError().text;
            ui::toolkit().message(m);
        }
    }
}

}  // namespace vx
