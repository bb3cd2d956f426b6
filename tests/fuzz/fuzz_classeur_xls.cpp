// Fuzzes the .xls reader on the whole file. The conversion the program runs reads it in a
// child process, where a fault of libfreexl is an error message; when that child came
// through, the same conversion runs again here, where the fuzzer sees what our reading of
// the cells covers.
#include <fcntl.h>
#include <pthread.h>
#include <sanitizer/common_interface_defs.h>
#include <unistd.h>

#include <csignal>
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/fichiers.h"
#include "tests/fuzz/fuzz_classeur.h"

using namespace tarvo;

// libfreexl 1.0.6 loses blocks on some damaged files; in the program they go with its child.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfreexl.so\n";
}

namespace {

// The child inherits the fuzzer's crash handling, which would report libfreexl's faults
// (an overread of its own stack buffer, seen by the sanitizer) as ours: in the child they
// only end the child, as in the program.
void enfant_sans_rapport() {
    __sanitizer_set_death_callback(nullptr);
    for (const int s : {SIGSEGV, SIGBUS, SIGABRT, SIGILL, SIGFPE}) std::signal(s, SIG_DFL);
    if (const int nul = open("/dev/null", O_WRONLY); nul >= 0) dup2(nul, STDERR_FILENO);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    pthread_atfork(nullptr, nullptr, enfant_sans_rapport);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* donnees, size_t taille) {
    static const std::string chemin = fuzz::sous_dossier("donnees") + "releve.xls";
    static const std::string copie = fuzz::sous_dossier("programme") + "~tmp_xls_ici.csv";
    fuzz::ecrire(chemin, {reinterpret_cast<const char*>(donnees), taille});
    const ResultatConversion isole = fuzz::convertir(chemin);
    if (!isole.reussi && !isole.feuille_vide) return 0;
    const ResultatConversion ici = classeur::convertir_xls_ici(chemin, 1, copie);
    if (ici.reussi != isole.reussi || ici.nom_feuille != isole.nom_feuille ||
        ici.nb_lignes != isole.nb_lignes ||
        (ici.reussi && lire_fichier(copie) != lire_fichier(fuzz::copie_convertie())))
        __builtin_trap();
    return 0;
}
