// The stage record's members that other parts of the game own: each is made
// on first need and deleted with the part's teardown (the pointer cleared).
#pragma once

template <typename T>
void MakeStageMember(T **member)
{
    if (*member == nullptr) {
        *member = new T();
    }
}

template <typename T>
void DeleteStageMember(T **member)
{
    delete *member;
    *member = nullptr;
}
