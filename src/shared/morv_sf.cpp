// The standard-functions module Morv_SF: CHECKOPEN with its routine
// CREATEFILE, and STANDARDWARNING with the whole catalogue of warnings.
#include "shared/morv_sf.h"

#include <cstdlib>
#include <string>

#include "platform/datafile.h"
#include "platform/platform.h"
#include "ui/toolkit.h"

namespace vx {
namespace {

using ui::Icon;

// The warning's halt box, then the end of the process. Exit code 1, so a
// script that started the program (the unattended mode) sees the failure.
[[noreturn]] void halt(const std::string& text) {
    ui::MessageSpec m;
    m.text = text;
    m.caption = "Halt";
    m.buttons = ui::BUTTON_OK;
    ui::toolkit().message(m);
    platform().system->exitProcess(1);
    std::abort();  // exitProcess does not return; the compiler cannot see that through a virtual
}

int show(const std::string& text, const std::string& caption, Icon icon, unsigned buttons,
         unsigned defaultButton) {
    ui::MessageSpec m;
    m.text = text;
    m.caption = caption;
    m.icon = icon;
    m.buttons = buttons;
    m.defaultButton = defaultButton;
    return ui::toolkit().message(m);
}

// ERRORTEXT: built from the thread's last error, cut at 150.
std::string errorText() {
    const FileError& e = lastFileError();
    std::string t = e.code == FILE_SYSTEM_ERROR
                        ? clip(e.systemText) + " (" + clip(e.systemCode) + ")"
                        : clip(e.text) + " (" + num(e.code) + ")";
    return clip(fit(t, 150));
}

constexpr unsigned OK = ui::BUTTON_OK, YES = ui::BUTTON_YES, NO = ui::BUTTON_NO,
                   RETRY = ui::BUTTON_RETRY, CANCEL = ui::BUTTON_CANCEL;

// Warnings 6 to 38: record-level operations this system never performs.
struct Ask {
    unsigned buttons = OK;
    unsigned defaultButton = OK;
};

int32_t recordWarning(int32_t id, const std::string& E, const std::string& T1, const std::string& T2) {
    std::string caption, text;
    Ask ask;
    switch (id) {
        case 6: caption = "Procedura nije dostupna"; text = "Procedura " + T1 + " nije dostupna."; break;
        case 7:
            caption = "Greška čitanja ključa";
            text = "Ne mogu pročitati kljuć datoteke .  Grečka: " + E + " (" + T1 + ")";
            break;
        case 8: caption = "Greška veličine"; text = "Vrijednost polja " + T1 + " je prevelika."; break;
        case 9: caption = " Greška veličine"; text = "Vrijednost polja " + T1 + " je premala."; break;
        case 10: caption = "Range Error"; text = "Vrijednost polja " + T1 + " je izvan dozvoljenog raspona " + T2 + "."; break;
        case 11: caption = "Field Contents Error"; text = "Neispravan sadržaj polja " + T1 + "."; break;
        case 12: caption = "Referential Integrity Update Error"; text = "Greška: (" + E + ") kod ažuriranja povezanih zapisa datoteke " + T1 + "."; break;
        case 13: caption = " Zabranjeno brisanje"; text = "Zapis datoteke " + T1 + " ima povezane zapise i ne može se obrisati."; break;
        case 14: caption = "Record Insert Error"; text = "Greška: (" + E + ") kod dodavanja zapisa u " + T1 + "."; break;
        case 15: caption = "Update Operation Error"; text = "Greška: (" + E + ") kod ažuriranja " + T1 + "."; break;
        case 16:
        case 18:
            caption = "Record Update Error";
            text = "Zapis datoteke " + T1 + " je promijenio drugi korisnik. Spremiti vaše promjene?";
            ask = {YES | NO | CANCEL, CANCEL};
            break;
        case 17: caption = "Delete Operation Error"; text = "Greška: (" + E + ") kod brisanja iz " + T1 + "."; break;
        case 19: case 20: case 21: caption = "Upozorenje"; text = "Upozorenje: " + T1 + " " + T2; break;
        case 22:
            caption = " Kreiranje datoteke onemogućeno";
            text = "Datoteka " + T1 + " ne postoji, a kreiranje nije dozvoljeno.";
            show(text, caption, Icon::Exclamation, OK, OK);
            halt("File Creation Error!");
        case 23: caption = "Odustajanje"; text = "Odustati od promjena u " + T1 + "?"; ask = {YES | NO, NO}; break;
        case 24: caption = "Ne može se unjeti dva ista podatka"; text = "Podatak " + T1 + " već postoji."; break;
        case 25:
            caption = "Automatska dodjela broja nije uspjela ";
            text = "Automatska dodjela broja za " + T1 + " nije uspjela. Pokušati ponovo?";
            ask = {RETRY | CANCEL, CANCEL};
            break;
        case 26: caption = "Greška kod otvaranja "; text = "Greška: (" + E + ") kod otvaranja " + T1 + "."; break;
        case 27: caption = " Opozov zahtjeva"; text = "Opozvati zahtjev " + T1 + "?"; ask = {OK | CANCEL, CANCEL}; break;
        case 28: caption = "Greška kod učitavanja datoteke."; text = "Greška: (" + E + ") kod učitavanja " + T1 + "."; break;
        case 29:
            caption = T1 == "Down" ? "Kraj datoteke" : "Početak datoteke";
            text = T1 == "Down" ? "Došli ste do kraja datoteke. Nastaviti od početka?"
                                : "Došli ste do početka datoteke. Nastaviti od kraja?";
            ask = {YES | NO, YES};
            break;
        case 31:
            caption = T1 == "Put" ? "Process PUT Error" : "Process DELETE Error";
            text = "Greška: (" + E + ") kod obrade " + T2 + ".";
            break;
        case 32: caption = "Potvrda brisanja"; text = "Obrisati zapis " + T1 + "?"; ask = {OK | CANCEL, CANCEL}; break;
        case 33: caption = "Update Cancelled"; text = "Spremiti promjene u " + T1 + "?"; ask = {YES | NO | CANCEL, NO}; break;
        case 34: caption = "Transaction Framing Error"; text = "Greška: (" + E + ") u transakciji " + T1 + "."; break;
        case 35: caption = "Greška pristua slogu"; text = "Greška: (" + E + ") kod pristupa zapisu " + T1 + "."; break;
        case 36: caption = "Greška kod pogleda"; text = "Greška: (" + E + ") kod pregleda " + T1 + "."; break;
        case 37: caption = "Record Added"; text = "Zapis je dodan u " + T1 + ". Dodati još jedan?"; ask = {YES | NO, YES}; break;
        case 38: caption = "Record Was Not Updated"; text = "Zapis datoteke " + T1 + " nije promijenjen."; break;
        default: return 0;
    }
    int pressed = show(text, caption, Icon::Exclamation, ask.buttons, ask.defaultButton);
    if (id == 34 || id == 35 || id == 36) return 0;
    return pressed;
}

}  // namespace

int32_t STANDARDWARNING(int32_t WARNINGID, std::string_view WARNINGTEXT1,
                        std::string_view WARNINGTEXT2) {
    const std::string E = errorText();
    const std::string T1 = clip(WARNINGTEXT1), T2 = clip(WARNINGTEXT2);
    switch (WARNINGID) {
        case 1:
            show("Greška : (" + E + ") kod pregleda datoteke " + T1 + ".  Pritisnite  OK za izlazak.",
                 "Neispravna datoteka", Icon::Information, OK, OK);
            halt("Neispravna datoteka !");
        case 2: {
            int pressed = show(T1 + " Kljuć datoteke je neispravan. Dali želite da " + "se kreira novi kljuć?",
                               "Neispravan kljuć datoteke", Icon::Exclamation, YES | NO, YES);
            if (pressed == int(NO)) halt("Neispravan kljuć!");
            return 2;
        }
        case 3:
            show("Greška : (" + E + ") repariranja ključeva za " + T1 + ".  Pritisnite  OK za izlazak. ",
                 "Greška repariranja ključeva datoteke", Icon::Information, OK, OK);
            halt("Greška kod izrade ključeva!");
        case 4:
            show("Greška: (" + E + ") kod kreiranja " + T1 + ".  Pritisnite  OK za izlazak. ",
                 "Greška kod kreiranja ", Icon::Information, OK, OK);
            halt("Greška kod kreiranja!");
        case 5:
            show("Greška: (" + E + ") kod kreiranja, otvaranja  " + "datoteke:" + T1 +
                     ".  Pritisnite  OK za izlazak , provjerite server ,",
                 "Greška kod kreiranja datoteke ", Icon::Information, OK, OK);
            halt("Greška kod kreiranja datoteke!");
        case 30:
            return show("Datoteku: (" + T1 + ") ne mogu otvoriti " + "  Greska: " + E + ".",
                        "Nemate dozvolljen pristup datoteci", Icon::Information, OK, OK);
        default:
            return recordWarning(WARNINGID, E, T1, T2);
    }
}

void CHECKOPEN(DataFile& file, std::optional<uint8_t> OVERRIDECREATE,
               std::optional<uint8_t> OVERRIDEOPENMODE) {
    const uint8_t OPENMODE = OVERRIDEOPENMODE ? *OVERRIDEOPENMODE : uint8_t(0x42);
    auto code = [] { return lastFileError().code; };

    file.open(OPENMODE);
    if (code() == FILE_LOCKED) {
        // One retry after the driver option; the second open's code counts.
        file.send("Recover=10");
        file.open(OPENMODE);
    }
    switch (code()) {
        case FILE_OK:
        case FILE_ALREADY_OPEN:
            return;
        case FILE_NOT_FOUND:
            if (!OVERRIDECREATE) break;
            if (*OVERRIDECREATE == 1) {
                // CREATEFILE: returns with the file open or ends the program.
                file.create();
                if (code() != FILE_OK) STANDARDWARNING(4, file.name());
                file.open(OPENMODE);
                if (code() == FILE_OK) return;
                STANDARDWARNING(5, file.name());
                return;  // not reached: warning 5 ends the program
            }
            STANDARDWARNING(4, file.name());
            break;
        case FILE_BAD_RECORD:
            STANDARDWARNING(1, file.name());
            break;
        case FILE_KEYS_BROKEN:
            if (STANDARDWARNING(2, file.name()) != 0) file.buildKeys();
            if (code() != FILE_OK) STANDARDWARNING(3, file.name());
            else file.open(OPENMODE);
            break;
        default:
            break;
    }
    if (code() != FILE_OK) {
        if (STANDARDWARNING(30, file.name()) != 0) halt("Disk Error");
    }
}

}  // namespace vx
