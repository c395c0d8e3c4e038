// The stage's sound effects and music (see stage_manager.h): made on the
// game's sound, the stage's list and music at load, the tick's sound step,
// released with the stage; the music operations the events and screens call.
#include "stage/sfx_manager.h"
#include "stage/stage_manager.h"
#include "stage/stage_music.h"

void CSStageManager::CreateSound()
{
    if (sfxManager == nullptr) {
        sfxManager = new CSSFXManager(GameSoundPort());
    }
    if (music == nullptr) {
        music = new CSStageMusic(GameSoundPort());
    }
}

void CSStageManager::DestroySound()
{
    delete sfxManager;
    sfxManager = nullptr;
    delete music;
    music = nullptr;
}

void CSStageManager::LoadSound()
{
    if (sfxManager != nullptr) {
        sfxManager->LoadStageSFX(stageId);
    }
    if (music != nullptr) {
        music->SetStage(stageId);
        music->PlayStageBGM();
    }
}

void CSStageManager::UpdateSound(uint32_t ms)
{
    if (music != nullptr) {
        music->Update(ms);
    }
    if (sfxManager != nullptr) {
        sfxManager->Update();
    }
}

void CSStageManager::ReleaseSound()
{
    if (sfxManager != nullptr) {
        sfxManager->ReleaseStageSFX();
    }
    if (music != nullptr) {
        music->Release();
        music->SetStage(0);
    }
}

void CSStageManager::StopBGM(int32_t fadeMs)
{
    if (music != nullptr) {
        music->StopBGM(fadeMs);
    }
}

void CSStageManager::PlayStageBGM()
{
    if (music != nullptr) {
        music->PlayStageBGM();
    }
}

void CSStageManager::PlayEventBGM(int32_t fadeMs, int32_t number)
{
    if (music != nullptr) {
        music->PlayEventBGM(fadeMs, number);
    }
}

bool CSStageManager::IsBGMStopped() const { return music == nullptr || music->IsBGMStopped(); }

void CSStageManager::FadeInStageBGM()
{
    if (music != nullptr) {
        music->FadeInStageBGM();
    }
}

void CSStageManager::PauseBGM()
{
    if (music != nullptr) {
        music->PauseBGM();
    }
}

void CSStageManager::ResumeBGM()
{
    if (music != nullptr) {
        music->ResumeBGM();
    }
}

void CSStageManager::SetBGMVolume(float volume)
{
    if (music != nullptr) {
        music->SetBGMVolume(volume);
    }
}
