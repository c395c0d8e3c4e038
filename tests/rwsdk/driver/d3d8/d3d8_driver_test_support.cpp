// The device spy and the driver fixture (see d3d8_driver_test_support.h).
#include "d3d8_driver_test_support.h"

#include "support/engine/counting_memory.h"
#include "support/engine/engine_env.h"
#include "support/engine/headless_driver.h"
#include "win/window.h"

namespace d3d8test {

namespace {

std::vector<DeviceCall> log;

void Log(const char *name, DWORD a = 0, DWORD b = 0, DWORD c = 0, DWORD d = 0) { log.push_back({name, a, b, c, d}); }

DWORD Word(const void *p) { return p != nullptr ? 1u : 0u; }

class DeviceSpy final : public IDirect3DDevice8 {
public:
    explicit DeviceSpy(IDirect3DDevice8 *real) : r(real) {}

    ULONG AddRef() override { return ++count; }
    ULONG Release() override
    {
        const ULONG left = --count;
        if (left == 0) {
            r->Release();
            delete this;
        }
        return left;
    }
    HRESULT TestCooperativeLevel() override { return r->TestCooperativeLevel(); }
    UINT GetAvailableTextureMem() override { return r->GetAvailableTextureMem(); }
    HRESULT ResourceManagerDiscardBytes(DWORD bytes) override { return r->ResourceManagerDiscardBytes(bytes); }
    HRESULT GetDirect3D(IDirect3D8 **d) override { return r->GetDirect3D(d); }
    HRESULT GetDeviceCaps(D3DCAPS8 *caps) override { return r->GetDeviceCaps(caps); }
    HRESULT GetDisplayMode(D3DDISPLAYMODE *mode) override { return r->GetDisplayMode(mode); }
    HRESULT GetCreationParameters(D3DDEVICE_CREATION_PARAMETERS *p) override { return r->GetCreationParameters(p); }
    HRESULT CreateAdditionalSwapChain(D3DPRESENT_PARAMETERS *p, IDirect3DSwapChain8 **s) override
    {
        return r->CreateAdditionalSwapChain(p, s);
    }
    HRESULT Reset(D3DPRESENT_PARAMETERS *p) override
    {
        Log("Reset", p->BackBufferWidth, p->BackBufferHeight);
        return r->Reset(p);
    }
    HRESULT Present(const RECT *a, const RECT *b, HWND w, const RGNDATA *d) override
    {
        Log("Present");
        return r->Present(a, b, w, d);
    }
    HRESULT GetBackBuffer(UINT i, D3DBACKBUFFER_TYPE t, IDirect3DSurface8 **s) override { return r->GetBackBuffer(i, t, s); }
    HRESULT GetFrontBuffer(IDirect3DSurface8 *s) override { return r->GetFrontBuffer(s); }
    HRESULT CreateTexture(UINT w, UINT h, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DTexture8 **t) override
    {
        return r->CreateTexture(w, h, l, u, f, p, t);
    }
    HRESULT CreateCubeTexture(UINT e, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DCubeTexture8 **t) override
    {
        return r->CreateCubeTexture(e, l, u, f, p, t);
    }
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer8 **b) override
    {
        Log("CreateVertexBuffer", length, usage, pool);
        return r->CreateVertexBuffer(length, usage, fvf, pool, b);
    }
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT f, D3DPOOL pool, IDirect3DIndexBuffer8 **b) override
    {
        Log("CreateIndexBuffer", length, usage, pool);
        return r->CreateIndexBuffer(length, usage, f, pool, b);
    }
    HRESULT CreateRenderTarget(UINT w, UINT h, D3DFORMAT f, D3DMULTISAMPLE_TYPE m, BOOL l, IDirect3DSurface8 **s) override
    {
        return r->CreateRenderTarget(w, h, f, m, l, s);
    }
    HRESULT CreateDepthStencilSurface(UINT w, UINT h, D3DFORMAT f, D3DMULTISAMPLE_TYPE m, IDirect3DSurface8 **s) override
    {
        return r->CreateDepthStencilSurface(w, h, f, m, s);
    }
    HRESULT CreateImageSurface(UINT w, UINT h, D3DFORMAT f, IDirect3DSurface8 **s) override
    {
        return r->CreateImageSurface(w, h, f, s);
    }
    HRESULT CopyRects(IDirect3DSurface8 *s, const RECT *sr, UINT n, IDirect3DSurface8 *d, const POINT *dp) override
    {
        Log("CopyRects", n);
        return r->CopyRects(s, sr, n, d, dp);
    }
    HRESULT SetRenderTarget(IDirect3DSurface8 *t, IDirect3DSurface8 *z) override
    {
        Log("SetRenderTarget", Word(t), Word(z));
        return r->SetRenderTarget(t, z);
    }
    HRESULT GetRenderTarget(IDirect3DSurface8 **t) override { return r->GetRenderTarget(t); }
    HRESULT GetDepthStencilSurface(IDirect3DSurface8 **z) override { return r->GetDepthStencilSurface(z); }
    HRESULT BeginScene() override
    {
        Log("BeginScene");
        return r->BeginScene();
    }
    HRESULT EndScene() override
    {
        Log("EndScene");
        return r->EndScene();
    }
    HRESULT Clear(DWORD n, const D3DRECT *rects, DWORD flags, D3DCOLOR color, float z, DWORD s) override
    {
        Log("Clear", flags, color, n);
        return r->Clear(n, rects, flags, color, z, s);
    }
    HRESULT SetViewport(const D3DVIEWPORT8 *v) override
    {
        Log("SetViewport", v->Width, v->Height, v->X);
        return r->SetViewport(v);
    }
    HRESULT GetViewport(D3DVIEWPORT8 *v) override { return r->GetViewport(v); }
    HRESULT SetScissorRect(const D3DRECT *rect) override { return r->SetScissorRect(rect); }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE s, const D3DMATRIX *m) override
    {
        Log("SetTransform", s);
        return r->SetTransform(s, m);
    }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE s, D3DMATRIX *m) override { return r->GetTransform(s, m); }
    HRESULT MultiplyTransform(D3DTRANSFORMSTATETYPE s, const D3DMATRIX *m) override { return r->MultiplyTransform(s, m); }
    HRESULT SetMaterial(const D3DMATERIAL8 *m) override
    {
        Log("SetMaterial");
        return r->SetMaterial(m);
    }
    HRESULT GetMaterial(D3DMATERIAL8 *m) override { return r->GetMaterial(m); }
    HRESULT SetLight(DWORD i, const D3DLIGHT8 *l) override
    {
        Log("SetLight", i);
        return r->SetLight(i, l);
    }
    HRESULT GetLight(DWORD i, D3DLIGHT8 *l) override { return r->GetLight(i, l); }
    HRESULT LightEnable(DWORD i, BOOL e) override
    {
        Log("LightEnable", i, static_cast<DWORD>(e));
        return r->LightEnable(i, e);
    }
    HRESULT GetLightEnable(DWORD i, BOOL *e) override { return r->GetLightEnable(i, e); }
    HRESULT SetRenderState(D3DRENDERSTATETYPE s, DWORD v) override
    {
        Log("SetRenderState", s, v);
        return r->SetRenderState(s, v);
    }
    HRESULT GetRenderState(D3DRENDERSTATETYPE s, DWORD *v) override { return r->GetRenderState(s, v); }
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture8 *t) override
    {
        Log("SetTexture", stage, Word(t));
        return r->SetTexture(stage, t);
    }
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture8 **t) override { return r->GetTexture(stage, t); }
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE t, DWORD v) override
    {
        Log("SetTextureStageState", stage, t, v);
        return r->SetTextureStageState(stage, t, v);
    }
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE t, DWORD *v) override
    {
        return r->GetTextureStageState(stage, t, v);
    }
    HRESULT ValidateDevice(DWORD *n) override { return r->ValidateDevice(n); }
    HRESULT SetPaletteEntries(UINT n, const PALETTEENTRY *e) override { return r->SetPaletteEntries(n, e); }
    HRESULT GetPaletteEntries(UINT n, PALETTEENTRY *e) override { return r->GetPaletteEntries(n, e); }
    HRESULT SetCurrentTexturePalette(UINT n) override { return r->SetCurrentTexturePalette(n); }
    HRESULT GetCurrentTexturePalette(UINT *n) override { return r->GetCurrentTexturePalette(n); }
    HRESULT SetVertexShader(DWORD h) override
    {
        Log("SetVertexShader", h);
        return r->SetVertexShader(h);
    }
    HRESULT GetVertexShader(DWORD *h) override { return r->GetVertexShader(h); }
    HRESULT CreatePixelShader(const DWORD *f, DWORD *h) override { return r->CreatePixelShader(f, h); }
    HRESULT SetPixelShader(DWORD h) override
    {
        Log("SetPixelShader", h);
        return r->SetPixelShader(h);
    }
    HRESULT GetPixelShader(DWORD *h) override { return r->GetPixelShader(h); }
    HRESULT DeletePixelShader(DWORD h) override { return r->DeletePixelShader(h); }
    HRESULT SetPixelShaderConstant(DWORD reg, const void *d, DWORD n) override { return r->SetPixelShaderConstant(reg, d, n); }
    HRESULT SetStreamSource(UINT n, IDirect3DVertexBuffer8 *b, UINT stride) override
    {
        Log("SetStreamSource", n, Word(b), stride);
        return r->SetStreamSource(n, b, stride);
    }
    HRESULT GetStreamSource(UINT n, IDirect3DVertexBuffer8 **b, UINT *s) override { return r->GetStreamSource(n, b, s); }
    HRESULT SetIndices(IDirect3DIndexBuffer8 *b, UINT base) override
    {
        Log("SetIndices", Word(b), base);
        return r->SetIndices(b, base);
    }
    HRESULT GetIndices(IDirect3DIndexBuffer8 **b, UINT *base) override { return r->GetIndices(b, base); }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE t, UINT start, UINT count) override
    {
        Log("DrawPrimitive", t, start, count);
        return r->DrawPrimitive(t, start, count);
    }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE t, UINT minIndex, UINT n, UINT start, UINT count) override
    {
        Log("DrawIndexedPrimitive", t, n, start, count);
        return r->DrawIndexedPrimitive(t, minIndex, n, start, count);
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE t, UINT count, const void *v, UINT stride) override
    {
        Log("DrawPrimitiveUP", t, count, stride);
        return r->DrawPrimitiveUP(t, count, v, stride);
    }
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE t, UINT minIndex, UINT n, UINT count, const void *i, D3DFORMAT f,
                                   const void *v, UINT stride) override
    {
        Log("DrawIndexedPrimitiveUP", t, count, stride);
        return r->DrawIndexedPrimitiveUP(t, minIndex, n, count, i, f, v, stride);
    }

private:
    IDirect3DDevice8 *r;
    ULONG count = 1;
};

}  // namespace

IDirect3DDevice8 *MakeDeviceSpy(IDirect3DDevice8 *real) { return new DeviceSpy(real); }

std::vector<DeviceCall> &SpyLog() { return log; }

std::vector<DeviceCall> SpyCalls(const std::string &name)
{
    std::vector<DeviceCall> out;
    for (const DeviceCall &call : log) {
        if (call.name == name) {
            out.push_back(call);
        }
    }
    return out;
}

size_t SpyCount(const std::string &name) { return SpyCalls(name).size(); }

void DriverTest::SetUp()
{
    rwtest::CountingMemory::Reset();
    window = rwtest::OpenHeadlessWindow(title, width, height);
    ASSERT_NE(window, nullptr);
    log.clear();
}

bool DriverTest::StartEngine(bool (*attach)())
{
    if (!rwtest::DriverStartUp(profile, window, attach)) {
        return false;
    }
    started = true;
    real = rwD3D8Device.device;
    return true;
}

void DriverTest::StopEngine()
{
    if (started) {
        EXPECT_TRUE(RwEngineStop());
        EXPECT_TRUE(RwEngineClose());
        EXPECT_TRUE(RwEngineTerm());
        started = false;
    }
}

void DriverTest::Spy()
{
    rwD3D8Device.device = MakeDeviceSpy(rwD3D8Device.device);
    log.clear();
}

void DriverTest::TearDown()
{
    StopEngine();
    // Engine tests that follow run on the fake device with the default
    // extension and Im3D nodes.
    rwtest::CloseHeadlessWindow(window);
    EXPECT_EQ(rwtest::CountingMemory::LiveBlocks(), 0u);
}

RwCamera *DriverTest::MakeCamera()
{
    RwCamera *camera = RwCameraCreate();
    RwFrame *frame = RwFrameCreate();
    RwCameraSetFrame(camera, frame);
    RwCameraSetRaster(camera, RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0,
                                             rwRASTERTYPECAMERA));
    RwCameraSetZRaster(camera, RwRasterCreate(static_cast<RwInt32>(width), static_cast<RwInt32>(height), 0,
                                              rwRASTERTYPEZBUFFER));
    return camera;
}

void DriverTest::DestroyCamera(RwCamera *camera)
{
    RwFrame *frame = RwCameraGetFrame(camera);
    if (camera->zBuffer != nullptr) {
        RwRasterDestroy(camera->zBuffer);
    }
    if (camera->frameBuffer != nullptr) {
        RwRasterDestroy(camera->frameBuffer);
    }
    RwCameraSetFrame(camera, nullptr);
    RwCameraDestroy(camera);
    RwFrameDestroy(frame);
}

}  // namespace d3d8test
