// What a long loop (listing, grid, engine) needs from the window: a progress text, one
// pass of pending events, and the stop request those events may carry.
#pragma once

#include <chrono>
#include <functional>
#include <string_view>

namespace tarvo {

class Progression {
public:
    // The stopwatch a progress text belongs to: each stage times itself.
    static constexpr int chronometre_liste = 1;
    static constexpr int chronometre_grille = 2;
    static constexpr int chronometre_traitement = 3;

    Progression() = default;
    Progression(const Progression&) = delete;
    Progression& operator=(const Progression&) = delete;
    virtual ~Progression() = default;

    // Shows the message and brings the given stopwatch (1, 2 or 3) up to now.
    virtual void afficher_progression(std::string_view message, int chronometre) = 0;

    // The run's estimate of the time and size left ("00:01:10 >> 14:32:05    12,40 Mo");
    // a display without room for it ignores it.
    virtual void afficher_temps_restant(std::string_view /*texte*/) {}

    // Handles the events waiting at the time of the call, then returns.
    virtual void traiter_evenements() = 0;

    // Whether the user asked to stop, as seen through the last pass of events.
    virtual bool arret_demande() const = 0;
};

// For a loop that cannot stop halfway (a file being counted): a call for each step that
// serves the window's events every 50 ms at most.
inline std::function<void()> servir_par_intervalles(Progression& progression) {
    using Horloge = std::chrono::steady_clock;
    return [&progression, dernier = Horloge::now()]() mutable {
        const Horloge::time_point maintenant = Horloge::now();
        if (maintenant - dernier < std::chrono::milliseconds(50)) return;
        dernier = maintenant;
        progression.traiter_evenements();
    };
}

}  // namespace tarvo
