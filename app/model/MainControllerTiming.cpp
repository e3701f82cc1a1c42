// Playback timing: the player's position (seconds) against the rows' syncs (milliseconds), the
// caption shown for the position, and the list clicks that pause and seek.

#include <climits>

#include "app/model/MainController.h"
#include "document/QzText.h"
#include "platform/core/SysUtils.h"

std::string TMainController::PreviewText(const std::string& stored) {
    return ReplaceText(TQzCaption::DecodeCaption(stored), "&nbsp;", " ", true);
}

int TMainController::GetMoviePos(double seconds) {
    if (!movie_) return 0;
    if (seconds < 0) {
        try {
            seconds = movie_->PlayerPosition();
        } catch (...) {
            seconds = 0;
        }
    }
    if (!(seconds >= 0)) seconds = 0;
    double ms = seconds * 1000.0f;
    if (ms >= static_cast<double>(INT_MAX)) return INT_MAX;
    return static_cast<int>(ms);
}

void TMainController::SetMoviePos(int ms) {
    if (!movie_) return;
    if (ms < 0) ms = 0;
    try {
        if (ms != 0 && movie_->PlayerPosition() == ms * 0.001) return;
        movie_->SetPlayerPosition(ms * 0.001);
    } catch (...) {
    }
}

bool TMainController::IsMovieOpen() {
    if (!movie_) return false;
    try {
        return !movie_->PlayerFileName().empty();
    } catch (...) {
        return false;
    }
}

int TMainController::FindRowAtMoviePos() {
    if (rows_.Count() <= 1) return 0;
    return rows_.FindRowAtTime(GetMoviePos(-1));
}

bool TMainController::ShowPreviewCaption(const std::string& stored) {
    if (!movie_) return false;
    std::string display = PreviewText(stored);
    if (display == movie_->CaptionLabelText()) return false;
    movie_->SetCaptionLabelText(display);
    return true;
}

void TMainController::ShowCurrentCaption() {
    if (rows_.Count() <= 1) return;
    try {
        int i = FindRowAtMoviePos();
        if (i < 0 || i >= rows_.Count()) return;
        if (movie_) movie_->SetPositionText(IntToStr(GetMoviePos(-1)));
        if (ShowPreviewCaption(rows_[i].Text)) SelectRow(i);
    } catch (...) {
    }
}

void TMainController::TimerTick() {
    if (movie_) movie_->SetPositionText(IntToStr(GetMoviePos(-1)));
    ShowCurrentCaption();
    if (selected_ >= 0) view_.ScrollRowIntoView(selected_);
}

void TMainController::ListDoubleClick(int row) {
    if (row >= 0 && row < rows_.Count()) selected_ = row;
    if (!movie_ || selected_ < 0 || rows_.Count() == 0 || !IsMovieOpen()) return;
    view_.SetCaptionTimer(false);
    try {
        movie_->PlayerPause();
    } catch (...) {
    }
    int target = selected_;
    SetMoviePos(rows_.Sync(target) + 1);
    ShowCurrentCaption();
    SelectRow(target);
}
