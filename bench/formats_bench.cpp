// Micro-benchmarks of the per-line helpers of a run, beside a memchr over the same line
// that serves as the yardstick of the same run (bench/ratios.sh prints the ratios).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>

#include "formats/date_canonique.h"
#include "formats/journal_suivi.h"
#include "formats/motifs_date.h"
#include "formats/nombres.h"
#include "formats/texte.h"

namespace {

// A usual logger line of 60 bytes: a date, then measurements separated by ";".
constexpr std::string_view ligne_type =
    "2023/12/25 08:05:00;12.345;-3.2;1013.25;17.50;0.004;99.90;12";
static_assert(ligne_type.size() == 60);
constexpr std::string_view date_type = ligne_type.substr(0, 19);
constexpr std::string_view motif_type = "aaaa_mm_jj_hh_mn_ss";
constexpr std::string_view reel_type = "1013,25";

// The compiler must not see the input as a constant, or it would fold the call away.
std::string_view opaque(const std::string& texte) {
    const char* donnees = texte.data();
    benchmark::DoNotOptimize(donnees);
    return {donnees, texte.size()};
}

void bm_reference_memchr(benchmark::State& etat) {
    const std::string ligne(ligne_type);
    for (auto _ : etat) {
        const std::string_view v = opaque(ligne);
        // '#' never occurs in the line: the whole line is scanned, like a field search.
        const void* p = std::memchr(v.data(), '#', v.size());
        benchmark::DoNotOptimize(p);
    }
}
BENCHMARK(bm_reference_memchr);

void bm_extraire_champ(benchmark::State& etat) {
    const std::string ligne(ligne_type);
    for (auto _ : etat) {
        std::string champ = tarvo::extraire_champ(opaque(ligne), 5, ';');
        benchmark::DoNotOptimize(champ);
    }
}
BENCHMARK(bm_extraire_champ);

void bm_champ_vue(benchmark::State& etat) {
    const std::string ligne(ligne_type);
    for (auto _ : etat) {
        std::string_view champ = tarvo::champ_vue(opaque(ligne), 5, ';');
        benchmark::DoNotOptimize(champ);
    }
}
BENCHMARK(bm_champ_vue);

// The whole way from a measurement's date text to its timestamp, as a run does it.
void bm_date_vers_horodatage(benchmark::State& etat) {
    const std::string date(date_type);
    tarvo::JournalSuivi journal;
    tarvo::LecteurDateMesure lecteur;
    lecteur.debut_listing();
    std::string resultat, canonique;
    for (auto _ : etat) {
        lecteur.lire_date_heure_mesure(opaque(date), motif_type, resultat, journal);
        double horodatage = tarvo::texte_vers_date_heure(resultat, canonique, journal);
        benchmark::DoNotOptimize(horodatage);
    }
    if (resultat != "25/12/2023 08:05:00" || !journal.lignes().empty())
        etat.SkipWithError("date mal lue");
}
BENCHMARK(bm_date_vers_horodatage);

// Its two halves, to tell which one to look at when the whole is slow.
void bm_lire_date_heure_mesure(benchmark::State& etat) {
    const std::string date(date_type);
    tarvo::JournalSuivi journal;
    tarvo::LecteurDateMesure lecteur;
    lecteur.debut_listing();
    std::string resultat;
    for (auto _ : etat) {
        lecteur.lire_date_heure_mesure(opaque(date), motif_type, resultat, journal);
        benchmark::DoNotOptimize(resultat);
    }
}
BENCHMARK(bm_lire_date_heure_mesure);

void bm_texte_vers_date_heure(benchmark::State& etat) {
    const std::string date("25/12/2023 08:05:00");
    tarvo::JournalSuivi journal;
    std::string canonique;
    for (auto _ : etat) {
        double horodatage = tarvo::texte_vers_date_heure(opaque(date), canonique, journal);
        benchmark::DoNotOptimize(horodatage);
    }
}
BENCHMARK(bm_texte_vers_date_heure);

void bm_lire_reel(benchmark::State& etat) {
    const std::string texte(reel_type);
    for (auto _ : etat) {
        double valeur = tarvo::lire_reel(opaque(texte));
        benchmark::DoNotOptimize(valeur);
    }
}
BENCHMARK(bm_lire_reel);

void bm_est_nombre(benchmark::State& etat) {
    const std::string texte(reel_type);
    for (auto _ : etat) {
        bool nombre = tarvo::est_nombre(opaque(texte));
        benchmark::DoNotOptimize(nombre);
    }
}
BENCHMARK(bm_est_nombre);

}  // namespace

BENCHMARK_MAIN();
