// Pre-reading a large generated logger file beside a plain fread of the same file (the
// yardstick of the same run), and listing 10,000 small files.
//   tarvo_bench_inventory [--taille_mo=500] [benchmark options…]
//   tarvo_bench_inventory --memoire [--taille_mo=500]   peak memory of one pre-read
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>

#include "description/description.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "inventory/listing.h"
#include "inventory/prelecture.h"
#include "inventory/table_fichiers.h"
#include "plateforme/dialogue.h"
#include "plateforme/lanceur.h"
#include "plateforme/progression.h"

namespace {

namespace fs = std::filesystem;
using namespace tarvo;

long long taille_mo = 500;
const fs::path dossier_banc = fs::temp_directory_path() / "tarvo_bench_inventaire";

// A tab-separated export with CR LF line ends, as Windows logger software writes them.
fs::path gros_fichier() {
    const fs::path chemin = dossier_banc / ("gros_" + std::to_string(taille_mo) + ".txt");
    const auto voulu = static_cast<std::uintmax_t>(taille_mo) * 1000 * 1000;
    std::error_code e;
    if (fs::exists(chemin, e) && fs::file_size(chemin, e) >= voulu) return chemin;
    fs::create_directories(dossier_banc);
    std::ofstream f(chemin, std::ios::binary);
    f << "Date/Time\tNiveau\tTemp\tPression\tConductivite\r\n";
    std::string bloc;
    std::uintmax_t ecrit = 0;
    long long k = 0;
    char ligne[96];
    while (ecrit < voulu) {
        bloc.clear();
        while (bloc.size() < (1 << 20)) {
            const long long s = k++ * 900;
            const int n =
                std::snprintf(ligne, sizeof ligne,
                              "%02lld/%02lld/2023 %02lld:%02lld:%02lld\t%lld.%03lld\t%lld.%02lld"
                              "\t1013.25\t%lld\r\n",
                              s / 86400 % 28 + 1, s / 2419200 % 12 + 1, s / 3600 % 24, s / 60 % 60,
                              s % 60, 100 + k % 37, k % 1000, 10 + k % 13, k % 100, 400 + k % 311);
            bloc.append(ligne, static_cast<std::size_t>(n));
        }
        f.write(bloc.data(), static_cast<std::streamsize>(bloc.size()));
        ecrit += bloc.size();
    }
    return chemin;
}

class DialogueMuet final : public Dialogue {
public:
    void message(IdMessage, std::string_view, TypeMessage) override {}
    Reponse question(IdMessage, std::string_view, TypeMessage, Boutons,
                     std::optional<Reponse> = std::nullopt) override {
        return Reponse::non;
    }
    int message_perso(IdMessage, std::string_view, TypeMessage, std::string_view, std::string_view,
                      std::string_view) override {
        return 2;
    }
};

class ProgressionMuette final : public Progression {
public:
    void afficher_progression(std::string_view, int) override {}
    void traiter_evenements() override {}
    bool arret_demande() const override { return false; }
};

class LanceurMuet final : public Lanceur {
public:
    bool ouvrir_dans_editeur(std::string_view) override { return true; }
    bool ouvrir_document(std::string_view) override { return true; }
    bool eteindre_machine(std::string_view) override { return true; }
};

Description description_banc(const std::string& dossier) {
    Description d;
    d.dossier_choisi = dossier;
    d.Edit_masque = "txt";
    d.RadioGroup_separateur_colonne_ItemIndex = Separateur::tabulation;
    d.Edit_num_ligne_intitule_col = "1";
    d.Edit_num_ligne_donnee = "2";
    d.Edit_num_col_datetime = "1";
    d.Edit_format_datetime_mesure = "jj/mm/aaaa hh:mn:ss";
    return d;
}

void bm_reference_fread(benchmark::State& etat) {
    const fs::path chemin = gros_fichier();
    const auto taille = static_cast<std::size_t>(fs::file_size(chemin));
    for (auto _ : etat) {
        std::FILE* f = std::fopen(chemin.c_str(), "rb");
        auto octets = std::make_unique_for_overwrite<char[]>(taille);
        const std::size_t lu = std::fread(octets.get(), 1, taille, f);
        std::fclose(f);
        benchmark::DoNotOptimize(octets.get());
        if (lu != taille) etat.SkipWithError("fread court");
    }
    etat.SetBytesProcessed(static_cast<std::int64_t>(etat.iterations()) *
                           static_cast<std::int64_t>(taille));
}

void bm_prelire_fichier(benchmark::State& etat) {
    const fs::path chemin = gros_fichier();
    const auto taille = static_cast<std::int64_t>(fs::file_size(chemin));
    const Description d = description_banc(dossier_banc.string());
    DialogueMuet dialogue;
    JournalSuivi journal;
    for (auto _ : etat) {
        TamponLignes tampon;
        if (!prelire_fichier(chemin.string(), taille, d, ModeEntree::fichiers, tampon, journal,
                             dialogue))
            etat.SkipWithError("pré-lecture refusée");
        benchmark::DoNotOptimize(tampon.nb_lignes());
    }
    etat.SetBytesProcessed(static_cast<std::int64_t>(etat.iterations()) * taille);
}

// 10,000 small files listed, only the first pre-read.
void bm_lister_10000_fichiers(benchmark::State& etat) {
    const fs::path dossier = dossier_banc / "dix_mille";
    if (!fs::exists(dossier / "f09999.txt")) {
        fs::create_directories(dossier);
        for (int i = 0; i < 10000; ++i) {
            char nom[32];
            std::snprintf(nom, sizeof nom, "f%05d.txt", i);
            std::ofstream(dossier / nom, std::ios::binary)
                << "Date/Time\tNiveau\r\n25/12/2023 08:00:00\t1.5\r\n25/12/2023 08:15:00\t1.6\r\n";
        }
    }
    const Description d = description_banc(dossier.string() + "/");
    DialogueMuet dialogue;
    ProgressionMuette progression;
    LanceurMuet lanceur;
    for (auto _ : etat) {
        EtatInventaire inventaire;
        TableFichiers table;
        LecteurDateMesure lecteur;
        JournalSuivi journal;
        const ResultatListage r =
            lister(d, {}, inventaire, table, lecteur, journal, dialogue, progression, lanceur);
        if (r.fin != FinListage::complet || table.nb_fichiers() != 10000)
            etat.SkipWithError("listage incomplet");
    }
}

long long vm_hwm_ko() {
    std::ifstream f("/proc/self/status");
    for (std::string ligne; std::getline(f, ligne);)
        if (ligne.starts_with("VmHWM:")) return std::stoll(ligne.substr(6));
    return -1;
}

// Peak resident memory of one pre-read, as a multiple of the file size.
int mesurer_memoire() {
    const fs::path chemin = gros_fichier();
    const auto taille = static_cast<long long>(fs::file_size(chemin));
    const long long avant = vm_hwm_ko();
    DialogueMuet dialogue;
    JournalSuivi journal;
    TamponLignes tampon;
    prelire_fichier(chemin.string(), taille, description_banc(dossier_banc.string()),
                    ModeEntree::fichiers, tampon, journal, dialogue);
    const long long pic = vm_hwm_ko();
    std::cout << "file " << taille / 1000000 << " MB, " << tampon.nb_lignes() << " lines\n"
              << "VmHWM before " << avant / 1024 << " MiB, after " << pic / 1024 << " MiB\n"
              << "peak / file size = "
              << static_cast<double>(pic) * 1024.0 / static_cast<double>(taille)
              << " (target < 1.3)\n";
    return 0;
}

}  // namespace

BENCHMARK(bm_reference_fread)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(bm_prelire_fichier)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(bm_lister_10000_fichiers)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

int main(int argc, char** argv) {
    bool memoire = false;
    int n = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (a.starts_with("--taille_mo="))
            taille_mo = std::stoll(std::string(a.substr(12)));
        else if (a == "--memoire")
            memoire = true;
        else
            argv[n++] = argv[i];
    }
    argc = n;
    if (memoire) return mesurer_memoire();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code e;
    fs::remove_all(dossier_banc, e);
    return 0;
}
