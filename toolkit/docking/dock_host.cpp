#include "toolkit/docking/dock_host.h"

#include "core/data.h"

#include <algorithm>
#include <iterator>

TDockHost::TDockHost() {
    FTop = &Add<TBorderDock>(TDockAlign::Top);
    FBottom = &Add<TBorderDock>(TDockAlign::Bottom);
    FLeft = &Add<TBorderDock>(TDockAlign::Left);
    FRight = &Add<TBorderDock>(TDockAlign::Right);
    FCentre = &Add<TSplitDock>();
}

void TDockHost::Layout() {
    // A dock's thickness follows its bands, which its relayout computes:
    // place again until the thicknesses hold (they settle at once unless a
    // length change moves boxes between bands).
    for (int32_t Round = 0; Round < 4; ++Round) {
        const int32_t Before[] = {FTop->Thickness(), FBottom->Thickness(), FLeft->Thickness(), FRight->Thickness()};
        Place();
        const int32_t After[] = {FTop->Thickness(), FBottom->Thickness(), FLeft->Thickness(), FRight->Thickness()};
        if (std::equal(std::begin(Before), std::end(Before), std::begin(After)))
            break;
    }
}

void TDockHost::Place() {
    const TRect Client = ClientRect();
    const int32_t W = Client.Width(), H = Client.Height();
    const int32_t Top = std::min(FTop->Thickness(), H);
    const int32_t Bottom = std::min(FBottom->Thickness(), H - Top);
    const int32_t Middle = H - Top - Bottom;
    const int32_t Left = std::min(FLeft->Thickness(), W);
    const int32_t Right = std::min(FRight->Thickness(), W - Left);
    FTop->SetBounds({0, 0, W, Top});
    FBottom->SetBounds({0, H - Bottom, W, H});
    FLeft->SetBounds({0, Top, Left, Top + Middle});
    FRight->SetBounds({W - Right, Top, W, Top + Middle});
    FCentre->SetBounds({Left, Top, W - Right, Top + Middle});
    for (TDock* Dock : {static_cast<TDock*>(FTop), static_cast<TDock*>(FBottom), static_cast<TDock*>(FLeft),
                        static_cast<TDock*>(FRight), static_cast<TDock*>(FCentre)}) {
        Dock->ReadBack(TDock::ReadBackAround);
        Dock->Relayout();
    }
}

void TDockHost::LoadControl(TData& Data) {
    const std::pair<const char*, TDock*> Docks[] = {
        {"Top", FTop}, {"Bottom", FBottom}, {"Left", FLeft}, {"Right", FRight}, {"Centre", FCentre}};
    for (auto [Name, Dock] : Docks)
        if (Data.Exists(Name)) {
            TDataSection Section(Data, Name);
            Dock->LoadControl(Data);
        }
    for (auto [Name, Dock] : Docks)
        Dock->Loaded();
    RequestLayout();
}

void TDockHost::SaveControl(TData& Data) {
    const std::pair<const char*, TDock*> Docks[] = {
        {"Top", FTop}, {"Bottom", FBottom}, {"Left", FLeft}, {"Right", FRight}, {"Centre", FCentre}};
    for (auto [Name, Dock] : Docks) {
        TDataSection Section(Data, Name);
        Dock->SaveControl(Data);
    }
}
