// tarvo-lot: stages 1, 2 and 3 of the main window run on one description, without a
// window, for scripts and scheduled conversions.
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <variant>
#include <vector>

#include "app/options_lot.h"
#include "app/plateforme_lot.h"
#include "app/travaux_lot.h"
#include "description/cles_description.h"
#include "formats/cp1252.h"
#include "formats/fichiers.h"
#include "formats/provisoire.h"
#include "formats/texte.h"
#include "inventory/listing.h"
#include "session/session.h"

namespace fs = std::filesystem;
using namespace tarvo;

namespace {

// The program directory of one run: companion and "~" work files go there and vanish
// with it, so nothing is ever written beside the program. It stays locked while it lives, so
// that the next run can tell the folder of a killed run from one in use.
class DossierProgramme {
public:
    DossierProgramme() {
        std::error_code e;
        fs::path temporaire = fs::temp_directory_path(e);
        if (e) temporaire = "/tmp";
        // A run cleaning the folders left by killed runs may take this one between its
        // creation and its lock: it is then gone, and another is made.
        for (int essai = 0; essai < 8 && chemin_.empty(); ++essai) {
            std::string modele = (temporaire / "tarvo-lot-XXXXXX").string();
            if (!mkdtemp(modele.data())) return;
            const int verrou =
                open(modele.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            struct stat tenu {
            }, nomme{};
            if (verrou >= 0 && flock(verrou, LOCK_EX | LOCK_NB) == 0 && fstat(verrou, &tenu) == 0 &&
                lstat(modele.c_str(), &nomme) == 0 && tenu.st_ino == nomme.st_ino &&
                tenu.st_dev == nomme.st_dev) {
                chemin_ = modele;
                verrou_ = verrou;
            } else if (verrou >= 0) {
                close(verrou);
            }
        }
    }
    ~DossierProgramme() {
        std::error_code ignore;
        if (!chemin_.empty()) fs::remove_all(chemin_, ignore);
        if (verrou_ >= 0) close(verrou_);
    }
    DossierProgramme(const DossierProgramme&) = delete;
    DossierProgramme& operator=(const DossierProgramme&) = delete;
    const std::string& chemin() const { return chemin_; }

private:
    std::string chemin_;
    int verrou_ = -1;
};

// What a failed save left on disk.
std::string texte_echec_ecriture(const ResultatEnregistrement& r) {
    if (r.etat == EtatEnregistrement::echec_suivi)
        return "le fichier résultat " + cp1252_vers_utf8(r.chemin) +
               " est écrit, mais pas son fichier de suivi : " + cp1252_vers_utf8(r.chemin_suivi) +
               " n'a pas été remplacé";
    std::string t = "le fichier résultat n'a pas pu être écrit";
    // Both files are written whole before either is renamed: nothing has changed.
    if (!r.chemin.empty())
        t += " : rien n'a été remplacé ni créé dans " +
             cp1252_vers_utf8(dossier_de_fichier(r.chemin));
    return t;
}

// A path typed on the command line, made absolute, in the core's code page.
std::optional<std::string> chemin_cp1252(const std::string& utf8, bool dossier) {
    auto t = utf8_vers_cp1252_exact(utf8);
    if (t) t = chemin_absolu(*t);
    if (t && dossier) *t = ajouter_antislash(*t);
    return t;
}

bool dossier_accessible(const std::string& cp1252, bool ecriture) {
    std::error_code e;
    const fs::path p = chemin_natif(cp1252);
    return fs::is_directory(p, e) &&
           access(p.c_str(), ecriture ? (R_OK | W_OK | X_OK) : (R_OK | X_OK)) == 0;
}

class Lot {
public:
    Lot(const OptionsLot& o, const std::string& dossier_programme)
        : o_(o),
          dialogue_(std::cerr, o.oui, o.silencieux),
          // A child of a call on several descriptions never draws a bar: they would mix.
          progression_(std::cerr, !o.silencieux && o.rang == 0 && isatty(STDERR_FILENO) == 1,
                       [this] { return session_.table.nb_fichiers(); }),
          presse_papier_(std::cin, isatty(STDIN_FILENO) == 1),
          session_(dialogue_, progression_, lanceur_, presse_papier_,
                   utf8_vers_cp1252(dossier_programme)) {
        dialogue_.avant_ecriture = [this] { progression_.effacer(); };
        session_.lecture_seule = true;
    }

    int executer() {
        const int r = etapes();
        progression_.effacer();
        // The lines that report a problem of the data or of a setting; those that only record
        // what was done stay in the tracking file.
        for (const auto& p : session_.journal.problemes())
            if (p.ligne >= debut_journal_)
                std::cerr << texte_terminal(cp1252_vers_utf8(session_.journal.lignes()[p.ligne]))
                          << '\n';
        if (!message_.empty()) std::cerr << "tarvo-lot : " << texte_terminal(message_) << '\n';
        return r;
    }

private:
    int empeche(std::string message) {
        message_ = std::move(message);
        return sortie_empechee;
    }

    int etapes() {
        session_.creation();
        const auto dsc = chemin_cp1252(o_.description, false);
        std::error_code e;
        if (!dsc || !fs::is_regular_file(chemin_natif(*dsc), e)) {
            if (const std::string quoi = dsc ? nature_non_ordinaire(*dsc) : ""; !quoi.empty())
                return empeche("la description " + citer_utf8(o_.description) + " est " +
                               cp1252_vers_utf8(quoi) + ", pas un fichier : elle n'est pas lue");
            return empeche("fichier de description introuvable : " + citer_utf8(o_.description));
        }
        debut_journal_ = session_.journal.lignes().size();
        session_.choisir_description(*dsc);
        if (dialogue_.nb_erreurs() > 0)
            return empeche("la description " + citer_utf8(o_.description) + " n'a pas pu être lue");

        Description& d = session_.description;
        if (o_.donnees) {
            const auto c = chemin_cp1252(*o_.donnees, true);
            if (!c) return empeche("répertoire des données illisible : " + citer_utf8(*o_.donnees));
            d.dossier_choisi = *c;
        }
        if (o_.sortie) {
            const auto c = chemin_cp1252(*o_.sortie, true);
            if (!c) return empeche("répertoire de sortie illisible : " + citer_utf8(*o_.sortie));
            d.dossier_choisi_sortie = *c;
        }
        if (o_.nom) d.Edit_nom_fic_sortie = utf8_vers_cp1252(*o_.nom);
        if (!dossier_accessible(d.dossier_choisi, false))
            return empeche("le répertoire des données n'existe pas ou ne peut pas être lu : " +
                           cp1252_vers_utf8(d.dossier_choisi) + " (option --donnees)");
        if (!dossier_accessible(d.dossier_choisi_sortie, true))
            return empeche("le répertoire de sortie n'existe pas ou n'accepte pas d'écriture : " +
                           cp1252_vers_utf8(d.dossier_choisi_sortie) + " (option --sortie)");
        // A workbook is converted by the listing; a clipboard description reads its text
        // from standard input, which the description read has already taken.
        switch (session_.source.mode) {
            case ModeEntree::presse_papier: {
                if (presse_papier_.terminal())
                    return empeche(
                        "une description de presse-papier (masque ppp) lit les données "
                        "sur l'entrée standard : tarvo-lot " +
                        citer_utf8(o_.description) + " < donnees.txt");
                if (presse_papier_.trop_long())
                    return empeche("l'entrée standard dépasse " +
                                   std::to_string(PressePapierEntree::taille_max >> 20U) +
                                   " Mo, bien plus qu'un bloc de cellules copiées : rien n'a "
                                   "été converti");
                bool vide = false;
                presse_papier_.lire_texte_vers([&](std::string_view t) { vide = t.empty(); });
                if (vide) return empeche("l'entrée standard est vide : aucune donnée à convertir");
                break;
            }
            case ModeEntree::classeur:
                if (rogner(d.Label_nom_fic_excel).empty())
                    return empeche("la description de classeur (masque " +
                                   cp1252_vers_utf8(citer(d.Edit_masque)) +
                                   ") ne nomme pas de fichier classeur (Label_nom_fic_excel)");
                break;
            case ModeEntree::fichiers: {
                const auto compte = compter_fichiers(d);
                session_.inventaire.affichage.nb_fichiers_listes = std::to_string(compte.nb);
                session_.inventaire.affichage.Label_nom_de_fichier = compte.premier;
                break;
            }
        }

        // The period the description was last run with, as the window opens it; each option
        // given replaces its part.
        const auto unite = lire_unite_pas_dsc(d.unite_pas_dsc);
        if (!unite && !o_.unite)
            return empeche("l'unité du pas de la description (unite_pas_dsc) n'est pas lisible : " +
                           cp1252_vers_utf8(citer(d.unite_pas_dsc)) +
                           " (options --unite et --nombre)");
        ParametresGrille& p = session_.parametres_grille;
        p.Label_temps_deb = o_.debut ? *o_.debut : d.Label_min_dsc;
        p.Label_temps_fin = o_.fin ? *o_.fin : d.Label_max_dsc;
        p.TimePicker_pas = o_.pas ? *o_.pas : lire_heure(d.Label_pas_dsc, session_.journal);
        p.unite_pas = o_.unite ? *o_.unite : unite->unite;
        p.SpinEdit_pas_jour_mois_annee = o_.nombre ? *o_.nombre : unite ? unite->nombre : 1;
        p.test_strict = o_.test_strict || d.test_strict_dsc == 1 ? 1 : 0;
        session_.parametres_grille_modifies();
        session_.SpinEdit_decalage_jour = o_.decalage_jours;
        session_.lecture = {o_.fils, static_cast<std::size_t>(o_.bloc_ko) * 1024};

        // Before anything is read: a name that is not one file name would write elsewhere.
        if (const std::string refus = session_.refus_nom_resultat(); !refus.empty())
            return empeche(reduire_blancs(remplacer_car('\n', ' ', cp1252_vers_utf8(refus))));

        const ResultatListage liste = session_.lister_fichiers();
        if (dialogue_.abandon()) return sortie_abandon;
        if (liste.fin == FinListage::aucun_fichier)
            return empeche("aucun fichier " + cp1252_vers_utf8(citer(d.Edit_masque)) + " dans " +
                           cp1252_vers_utf8(d.dossier_choisi));
        if (liste.fin != FinListage::complet)
            return empeche("les fichiers de données n'ont pas pu être listés");

        // Stage 3 ends by writing the result and tracking files. The description is never
        // written from here, so no change of it is pending for the run to save.
        session_.f_modif = false;
        const FinTraitement fin = session_.traiter();
        if (fin == FinTraitement::abandonne || dialogue_.abandon()) return sortie_abandon;
        if (fin == FinTraitement::echec_ecriture)
            return empeche(texte_echec_ecriture(session_.dernier_enregistrement));
        if (fin == FinTraitement::termine && session_.fichier_resultat.empty())
            return empeche("le fichier résultat n'a pas pu être écrit");
        if (fin != FinTraitement::termine)
            return empeche("le traitement n'a pas pu être fait, rien n'a été écrit");
        if (session_.dernier_enregistrement.aucune_valeur_valide)
            message_ =
                "attention, le résultat ne contient aucune valeur : toutes ses valeurs "
                "sont NA dans " +
                cp1252_vers_utf8(session_.fichier_resultat) +
                " (vérifier la période, la colonne date et les colonnes extraites)";
        std::cout << texte_terminal(cp1252_vers_utf8(session_.fichier_resultat)) << '\n'
                  << std::flush;
        return session_.dernier_enregistrement.aucune_valeur_valide ? sortie_sans_valeur
                                                                    : sortie_ecrit;
    }

    const OptionsLot& o_;
    DialogueLot dialogue_;
    ProgressionLot progression_;
    LanceurLot lanceur_;
    PressePapierEntree presse_papier_;
    Session session_;
    std::size_t debut_journal_ = 0;
    std::string message_;
};

}  // namespace

// The work directory's path for the interruption handler, which may only call
// async-signal-safe functions.
std::array<char, 4096> dossier_a_retirer{};

namespace {

// A directory and all it holds, removed without opendir, which allocates; true when gone. A
// pass that removes entries may miss some it had not reached: it reads again until empty.
bool retirer_dossier(int parent, const char* nom, int profondeur) {
    const int d = openat(parent, nom, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (d < 0) return false;
    alignas(dirent64) std::array<char, 8192> tampon;
    for (bool retire = true; retire;) {
        retire = false;
        lseek(d, 0, SEEK_SET);
        for (ssize_t n; (n = getdents64(d, tampon.data(), tampon.size())) > 0;) {
            for (ssize_t p = 0; p < n;) {
                const auto* e = reinterpret_cast<const dirent64*>(tampon.data() + p);
                p += e->d_reclen;
                const char* f = e->d_name;
                if (f[0] == '.' && (f[1] == '\0' || (f[1] == '.' && f[2] == '\0'))) continue;
                if (unlinkat(d, f, 0) == 0 ||
                    (errno == EISDIR && profondeur < 16 && retirer_dossier(d, f, profondeur + 1)))
                    retire = true;
            }
        }
    }
    close(d);
    return unlinkat(parent, nom, AT_REMOVEDIR) == 0;
}

// A name mkdtemp gives from "tarvo-lot-XXXXXX", and no other.
bool nom_de_dossier_de_travail(std::string_view nom) {
    constexpr std::string_view prefixe = "tarvo-lot-";
    if (nom.size() != prefixe.size() + 6 || !nom.starts_with(prefixe)) return false;
    return std::all_of(nom.begin() + prefixe.size(), nom.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    });
}

// The work folders of runs killed before they could remove them (SIGKILL, a power cut): this
// user's own in the temporary directory that no process holds locked. Nothing else is touched.
void retirer_dossiers_abandonnes() {
    std::error_code e;
    fs::path temporaire = fs::temp_directory_path(e);
    if (e) temporaire = "/tmp";
    const int parent = open(temporaire.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (parent < 0) return;
    std::vector<std::string> noms;
    for (fs::directory_iterator it(temporaire, e), fin; !e && it != fin; it.increment(e))
        if (const std::string nom = it->path().filename().string(); nom_de_dossier_de_travail(nom))
            noms.push_back(nom);
    for (const std::string& nom : noms) {
        struct stat etat {};
        if (fstatat(parent, nom.c_str(), &etat, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISDIR(etat.st_mode) || etat.st_uid != getuid())
            continue;
        const int verrou =
            openat(parent, nom.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (verrou < 0) continue;
        if (flock(verrou, LOCK_EX | LOCK_NB) == 0) retirer_dossier(parent, nom.c_str(), 0);
        close(verrou);
    }
    close(parent);
}

}  // namespace

extern "C" void interrompre(int signal) {
    // Once the result pair is being put in place the run finishes: stopping would split the
    // pair, or call interrupted a run whose new files are there.
    if (!interruption_possible()) return;
    retirer_fichiers_provisoires();
    if (dossier_a_retirer[0] != '\0') retirer_dossier(AT_FDCWD, dossier_a_retirer.data(), 0);
    _exit(128 + signal);
}

namespace {

constexpr std::array signaux_interruption{SIGINT, SIGTERM, SIGHUP};

sigset_t ensemble_interruptions() {
    sigset_t ensemble;
    sigemptyset(&ensemble);
    for (const int s : signaux_interruption) sigaddset(&ensemble, s);
    return ensemble;
}

// A signal the caller ignores (nohup, a background job) stays ignored.
void intercepter_interruptions() {
    struct sigaction action {};
    action.sa_handler = interrompre;
    action.sa_mask = ensemble_interruptions();
    for (const int s : signaux_interruption) {
        struct sigaction avant {};
        if (sigaction(s, nullptr, &avant) == 0 && avant.sa_handler != SIG_IGN)
            sigaction(s, &action, nullptr);
    }
}

// Tests stop the program or fail a rename at a named step of the result's write:
// TARVO_LOT_ESSAI=entre_renommages:signal=15 raises SIGTERM there, …:erreur=5 fails with EIO.
struct Essai {
    EtapeEcriture etape = EtapeEcriture::creation;
    int signal = 0;
    int erreur = 0;
};
Essai essai;

extern "C" int appliquer_essai(EtapeEcriture etape, const char* /*chemin*/) {
    if (etape != essai.etape) return 0;
    if (essai.signal != 0) raise(essai.signal);
    return essai.erreur;
}

void preparer_essai() {
    const char* texte = std::getenv("TARVO_LOT_ESSAI");
    if (texte == nullptr) return;
    const std::string_view t(texte);
    const auto deux_points = t.find(':');
    const std::string_view nom = t.substr(0, deux_points);
    const std::string_view action =
        deux_points == std::string_view::npos ? std::string_view() : t.substr(deux_points + 1);
    if (nom == "avant_renommages")
        essai.etape = EtapeEcriture::avant_renommages;
    else if (nom == "entre_renommages")
        essai.etape = EtapeEcriture::entre_renommages;
    else if (nom == "apres_renommages")
        essai.etape = EtapeEcriture::apres_renommages;
    else
        return;
    const auto valeur = [&](std::string_view cle) {
        return action.starts_with(cle) ? std::atoi(std::string(action.substr(cle.size())).c_str())
                                       : 0;
    };
    essai.signal = valeur("signal=");
    essai.erreur = valeur("erreur=");
    definir_crochet_ecriture(appliquer_essai);
}

}  // namespace

int main(int argc, char** argv) {
    const auto lues = lire_options(argc, argv, std::cout, std::cerr);
    if (const int* code = std::get_if<int>(&lues)) return *code;
    const OptionsLot& options = std::get<OptionsLot>(lues);
    // A child whose parent is gone ends as if the parent's death signal had reached it.
    if (options.rang > 0 && !mourir_avec_le_parent(options.pid_parent)) return 128 + SIGTERM;
    if (options.descriptions.size() > 1) {
        const int machine = static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
        const int travaux = options.travaux > 0 ? options.travaux : machine;
        const int n = static_cast<int>(options.descriptions.size());
        // Each child reads on its share of the machine's threads, unless --fils says otherwise.
        return executer_travaux("/proc/self/exe", std::vector<std::string>(argv + 1, argv + argc),
                                options.descriptions, travaux,
                                options.fils > 0 ? 0 : fils_par_travail(machine, travaux, n),
                                std::cout, std::cerr);
    }

    retirer_dossiers_abandonnes();
    // Held until the handler knows the work directory: a signal in between would leave it behind.
    const sigset_t retenus = ensemble_interruptions();
    sigset_t masque_initial;
    pthread_sigmask(SIG_BLOCK, &retenus, &masque_initial);
    const DossierProgramme dossier;
    if (!dossier.chemin().empty() && dossier.chemin().size() < dossier_a_retirer.size()) {
        std::copy(dossier.chemin().begin(), dossier.chemin().end(), dossier_a_retirer.begin());
        intercepter_interruptions();
    }
    pthread_sigmask(SIG_SETMASK, &masque_initial, nullptr);
    if (dossier.chemin().empty()) {
        std::cerr << "tarvo-lot : impossible de créer un répertoire de travail temporaire\n";
        return sortie_empechee;
    }
    preparer_essai();
    try {
        Lot lot(options, dossier.chemin());
        return lot.executer();
    } catch (const std::exception& e) {
        std::cerr << "tarvo-lot : " << texte_terminal(cp1252_vers_utf8(texte_exception(e))) << '\n';
        return sortie_empechee;
    }
}
