// The real pece.exe against the stand-ins: each command once, its bytes on
// standard output and standard error (pipes, so code page 932 with CRLF), its
// exit code, the files it writes and the simulated device's calls.
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>

namespace {

struct Ran {
    DWORD code;
    std::string out, err;
    bool operator==(const Ran& o) const { return code == o.code && out == o.out && err == o.err; }
};

void PrintTo(const Ran& ran, std::ostream* os) { *os << ran.code << " out [" << ran.out << "] err [" << ran.err << "]"; }

// pece.exe (or another copy of it) running, in `folder` when one is given.
class Pece {
public:
    explicit Pece(const std::wstring& arguments, const std::wstring& program = ts::BinPath(L"pece.exe"),
                  const std::wstring& folder = L"")
        : process_(ts::Quote(program) + L" " + arguments, folder, &output_) {}
    // The output once the program has ended: list initialisation goes in order.
    Ran Finish() { return {process_.Wait(false), output_.out, output_.err}; }

private:
    ts::Output output_;
    ts::Process process_;
};

Ran Runs(const std::wstring& arguments) { return Pece(arguments).Finish(); }

// Runs that do not meet, all at once.
std::vector<Ran> Together(const ts::Texts& arguments)
{
    std::vector<std::unique_ptr<Pece>> running;
    for (const std::wstring& a : arguments) running.push_back(std::make_unique<Pece>(a));
    std::vector<Ran> ran;
    ran.reserve(running.size());
    for (const auto& pece : running) ran.push_back(pece->Finish());
    return ran;
}

// Lines as pece writes them to a pipe.
std::string Lines(std::initializer_list<std::wstring> lines) { return ts::Cp932(ts::Joined(ts::Lines(lines))); }

Ran Out(std::initializer_list<std::wstring> lines) { return {0, Lines(lines), ""}; }
Ran Err(DWORD code, std::initializer_list<std::wstring> lines) { return {code, "", Lines(lines)}; }

const std::wstring NoDevice = L"P/ECEが見つかりません.";

TEST(Pece, DeviceCommandsSayWhatTheDeviceToolSays)
{
    ts::SimDevice device;
    ts::TempDir dir;
    const std::wstring info = L"info", pex = dir / L"GAME.PEX", srf = dir / L"表.srf", bad = dir / L"Bad Name.pex";
    for (const std::wstring& file : {pex, srf, bad}) ts::WriteBytes(file, "DATA");

    EXPECT_EQ(Runs(info), Out({L"P/ECE Infomation", L"HARD Version:1.2", L"BIOS Version:1.20", L"BIOS Date   :2003/4/15",
                              L"PFFS Free   :1024 sectors (4194304 bytes) Free", L"---"}));
    device.Set(L"pffs", L"freesectors", L"255");
    EXPECT_EQ(Runs(L"info --json"), Out({L"{\"hardware\": \"1.2\", \"bios\": \"1.20\", \"bios_date\": \"2003-04-15\", "
                                        L"\"free_sectors\": 255, \"free_bytes\": 1044480}"}));

    device.ClearCalls();
    EXPECT_EQ(Runs(L"put " + ts::Quote(pex) + L" " + ts::Quote(bad) + L" missing.pex " + ts::Quote(dir.path()) + L" " + ts::Quote(pex)),
              (Ran{4, Lines({pex + L" -> game.pex: 転送完了.", pex + L" -> game.pex: 転送完了."}),
                   Lines({bad + L" -> bad name.pex: 転送失敗. エラーコード:1001", L"ファイルが見つかりません: missing.pex",
                          L"ファイルではなくフォルダです: " + dir.path()})}));
    const std::string write = "ismPFFSWrite game.pex " + ts::Cp932(pex);
    EXPECT_EQ(device.Calls(), ts::Bracket({write, "ismPFFSWrite bad name.pex " + ts::Cp932(bad), "ismGetVersion 1", write}));
    EXPECT_EQ(Runs(L"ls"), Out({L"game.pex" + std::wstring(26, L' ') + L"4", L"  255 sectors free (1044480 bytes free)"}));

    device.ClearCalls();
    EXPECT_EQ(Runs(L"run " + ts::Quote(srf)), Out({L"P/ECEへデータ転送完了."}));
    EXPECT_EQ(device.Calls(), ts::Bracket({"ismWriteSrfFile " + ts::Cp932(srf) + " 1"}));
    device.Set(L"srf", L"result", L"1004");
    EXPECT_EQ(Runs(L"run " + ts::Quote(srf)), Err(4, {L"P/ECEへデータ転送失敗.", L"エラーコード:1004"}));

    // No device: each command says so, and writes nothing.
    device.Set(L"device", L"connected", L"0");
    const Ran none = Err(2, {NoDevice});
    EXPECT_EQ(Together({L"info", L"info --json", L"ls", L"run " + ts::Quote(srf), L"shot " + ts::Quote(dir / L"s.png"),
                        L"record " + ts::Quote(dir / L"r.gif"), L"put " + ts::Quote(pex)}),
              (std::vector<Ran>{none, none, none, none, none, none, Err(2, {pex + L" -> game.pex: " + NoDevice})}));
    EXPECT_EQ(GetFileAttributesW((dir / L"s.png").c_str()), INVALID_FILE_ATTRIBUTES);
}

BOOL WINAPI Ignore(DWORD) { return TRUE; }

// Pictures only whole, of the screen at the size asked for; no file where
// the name cannot be, or must not be, written. A recording ends after its
// seconds, or at Ctrl+C (which Wine delivers to a console's processes, the
// test among them), and is saved and said either way.
TEST(Pece, ShotAndRecordWritePicturesOnlyWhole)
{
    ts::SimDevice device;
    ts::TempDir dir;
    std::string bands, white(128 * 88, '\0');
    for (int i = 0; i < 128 * 88; ++i) bands += static_cast<char>(i % 128 / 32);
    const std::wstring png = dir / L"表.PNG";
    // As the live view: a capture that answers other than 0 asks whether the device is there.
    ts::Restore one = ts::SetEnv(L"PIECE_SIM_CAPTURE_RESULT", L"1");
    EXPECT_EQ(Runs(L"shot " + ts::Quote(png) + L" --scale 3"), Out({L"保存しました: " + png + L" (384×264)"}));
    EXPECT_EQ(ts::Decode(ts::ReadBytes(png)).frames, std::vector<ts::Decoded::Frame>{ts::Shows(bands, 3, 384, 264)});
    EXPECT_EQ(device.Calls(), ts::Bracket({"ismGetVersion 1", "ismLCDCaptureScreen 11264", "ismGetVersion 1"}));
    one.reset();

    const std::wstring readOnly = dir / L"old.bmp", noFolder = dir / L"no\\s.gif", folder = dir / L"f.gif",
                       cafe = dir / L"caf\u00e9.gif";
    ts::WriteBytes(readOnly, "old");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
    CreateDirectoryW(folder.c_str(), nullptr);
    const struct { std::wstring file, says; } refused[] = {
        {readOnly, L"読み取り専用のファイルなので書き込めません"}, {noFolder, L"保存先のフォルダが見つかりません"},
        {folder, L"ファイルではなくフォルダです"}, {cafe, L"ANSIコードページにない文字がパスにあるので使えません"}};
    ts::Texts shots;
    std::vector<Ran> said;
    for (const auto& r : refused) {
        shots.push_back(L"shot " + ts::Quote(r.file));
        // The name as code page 932 shows it, its missing character a question mark.
        said.push_back(Err(5, {r.says + L": " + (r.file == cafe ? dir / L"caf?.gif" : r.file)}));
    }
    EXPECT_EQ(Together(shots), said);
    EXPECT_EQ(ts::ReadBytes(readOnly), "old");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ts::ReadBytes(dir / L"cafe.gif") + ts::ReadBytes(dir / L"caf?.gif"), "");

    ts::WriteBytes(device / L"screen.bin", white + bands);
    const std::wstring gif = dir / L"録画.gif", saved = L"録画を保存しました: " + gif + L" (128×88, ";
    // (That a recording loops for ever, and how its frames and delays come:
    // the capture window's session and the GIF writer's proof.)
    const auto expectRecording = [&](const Ran& ran) {
        EXPECT_EQ((Ran{ran.code, ran.out.substr(0, ts::Cp932(saved).size()), ran.err}), (Ran{0, ts::Cp932(saved), ""}));
        const std::vector<ts::Decoded::Frame> frames = ts::Decode(ts::ReadBytes(gif)).frames;
        EXPECT_FALSE(frames.empty());
        for (ts::Decoded::Frame frame : frames) {
            frame.delay = -1;
            EXPECT_TRUE(frame == ts::Shows(white, 1, 128, 88) || frame == ts::Shows(bands, 1, 128, 88));
        }
        DeleteFileW(gif.c_str());
    };
    expectRecording(Runs(L"record " + ts::Quote(gif) + L" --seconds 0.3"));

    FreeConsole();
    AllocConsole();
    SetConsoleCtrlHandler(Ignore, TRUE);
    device.ClearCalls();
    device.Set(L"delay", L"all", L"20");  // calls that take a while, so turns would overlap if not taken
    Pece recording(L"record " + ts::Quote(gif));
    EXPECT_TRUE(ui::WaitUntil([&] { return device.Calls().find("ismLCDCaptureScreen") != std::string::npos; }, ts::Bound));
    // Other programs take their turns on the device meanwhile: no bracket of
    // calls inside another's.
    for (const Ran& ran : Together({L"info", L"ls", L"info --json"})) EXPECT_EQ(ran.code, 0u);
    EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    expectRecording(recording.Finish());
    EXPECT_TRUE(std::regex_match(device.Calls(), std::regex("(ismInit\r\n(?!ism(Init|Exit))[^\r]*\r\nismExit\r\n)*")));
    FreeConsole();
}

// The program alone in a folder, started in one that holds a device library
// and a packer: neither is taken. (A library without the operations: the
// device tool's session, over the same device layer.)
TEST(Pece, AloneWithoutTheDeviceLibraryOrThePacker)
{
    ts::SimDevice device;
    ts::Project project;
    ts::TempDir alone;
    const std::pair<std::wstring, std::wstring> copies[] = {
        {L"pece.exe", alone / L"pece.exe"}, {L"pieceif.dll", project / L"pieceif.dll"},
        {L"PPACK.EXE", project / L"PPACK.EXE"}};
    for (const auto& [from, to] : copies) CopyFileW(ts::BinPath(from).c_str(), to.c_str(), FALSE);
    Pece none(L"info", alone / L"pece.exe", project.path()), build(L"pex game.sds", alone / L"pece.exe", project.path());
    EXPECT_EQ(none.Finish(), Err(3, {L"pieceif.dllが見つかりません."}));
    const std::wstring packer = L"PPACK.EXE -e " + project / L"game.srf -o" + project / L"game.pex -nGAME";
    EXPECT_EQ(build.Finish(), Err(6, {L"起動できませんでした (エラー 2): " + packer, L"実行イメージ作成失敗."}));
    EXPECT_EQ(device.Calls(), "");
}

// The image built from the settings the project holds, which stay as they
// are; the packer's failure is the command's. Each file converted, or
// refused, as the converter would, without a question.
TEST(Pece, PexAndConvertDoTheWindowsJobsWithoutAsking)
{
    ts::Project project(L"[MAIN]\r\nPROJECT-NAME=GAME\r\n[SOURCE]\r\n1=.\\ゲーム.c\r\n[PEX]\r\nICON=.\\表.pid\r\n");
    const std::wstring srf = project / L"ゲーム.srf", pid = project / L"表.pid", pex = project / L"ゲーム.pex";
    ts::WriteBytes(srf, "SRF");
    ts::WriteBytes(pid, "PID");
    const std::string before = ts::ReadBytes(project.file());
    const std::wstring old = ts::Vtp(project / L"old.vtp", L"[MAIN]\r\nPROJECT-NAME=OLD\r\n"),
                       young = ts::Vtp(project / L"new.vtp", L"[MAIN]\r\nPROJECT-NAME=NEW\r\nVER=0.35\r\n"),
                       locked = ts::Vtp(project / L"locked.vtp", L"[MAIN]\r\nPROJECT-NAME=LOCKED\r\n");
    CreateDirectoryW((project / L"locked.sds").c_str(), nullptr);  // a folder in the output's place
    Pece converting(L"convert " + ts::Quote(young) + L" " + ts::Quote(old)), refusing(L"convert " + ts::Quote(locked) + L" gone.vtp");
    const Ran converted = {6, Lines({old + L" -> " + project / L"old.sds: 変換が完了しました"}),
                           Lines({young + L": 0.35以降のVTPファイルなので変換しませんでした"})};
    const Ran refused = Err(5, {project / L"locked.sds", L"への書き込みに失敗しました",
                                locked + L": 書き込みに失敗したので変換を中止しました", L"ファイルが見つかりません: gone.vtp"});

    const Ran built = Runs(L"pex " + ts::Quote(project.file()));
    const std::string said = Lines({L"PPACK: 実行イメージを作成します.", L"  入力     : " + srf + L" (3 bytes)",
                                    L"  アイコン : " + pid + L" (3 bytes)", L"  タイトル : GAME", L"  出力     : " + pex});
    EXPECT_EQ((Ran{built.code, built.out.substr(0, said.size() - 2), built.err}), (Ran{0, said.substr(0, said.size() - 2), ""}));
    EXPECT_EQ(built.out.substr(built.out.size() - 14), "PPACK: " + ts::Cp932(L"完了.") + "\r\n");
    EXPECT_NE(ts::ReadBytes(pex), "");
    DeleteFileW(srf.c_str());
    EXPECT_EQ(Runs(L"pex " + ts::Quote(project.file())),
              (Ran{6, Lines({L"PPACK: 実行イメージを作成します.", L"PPACK: 入力ファイルが見つかりません: " + srf}),
                   Lines({L"実行イメージ作成失敗."})}));
    EXPECT_EQ(ts::ReadBytes(project.file()), before);

    EXPECT_EQ(converting.Finish(), converted);
    EXPECT_EQ(refusing.Finish(), refused);
    EXPECT_EQ(ts::Entry(project / L"old.sds", L"MAIN", L"PROJECT-NAME"), L"OLD");
}

// Help on standard output, or on standard error when nothing was asked; a
// usage error names itself and the command's usage. (Each usage error: the
// command line's table.)
TEST(Pece, HelpUsageErrorsVersionAndDoctor)
{
    ts::SimDevice device;
    const std::vector<Ran> ran = Together({L"--help", L"", L"shot x.jpg", L"--version", L"doctor"});
    const Ran& help = ran[0];
    EXPECT_EQ((Ran{help.code, "", help.err}), (Ran{0, "", ""}));
    EXPECT_NE(help.out.find(Lines({L"終了コード (どのコマンドも同じ):", L"  0  完了"})), std::string::npos) << help.out;
    EXPECT_EQ(ran[1], (Ran{1, "", help.out}));
    EXPECT_EQ(ran[2], Err(1, {L"pece: ファイル名の拡張子は.bmp .png .gifのどれかにして下さい: x.jpg",
                              L"使い方: pece shot ファイル [--scale N]"}));
    EXPECT_EQ(ran[3], Out({L"pece Ver 0.10"}));
    wchar_t bin[MAX_PATH] = {};
    GetFullPathNameW(ts::BinPath(L"").c_str(), MAX_PATH, bin, nullptr);
    const Ran& doctor = ran[4];
    EXPECT_EQ(doctor.code, 0u);
    for (const std::wstring& line : ts::Texts{L"pece Ver 0.10\r\n", L"コードページ: ANSI 932, OEM 932,", L"\r\npieceif.dll: " + std::wstring(bin) + L"pieceif.dll (",
                                              L"\r\nPPACK.EXE: " + std::wstring(bin) + L"PPACK.EXE (", L"\r\nP/ECE:\r\n  HARD Version:1.2\r\n"})
        EXPECT_NE(doctor.out.find(ts::Cp932(line)), std::string::npos) << ts::Utf8(line);
}

// The temporary disk fills: what was recorded before is saved, and said.
TEST(FullDisk, ARecordingSavesTheFramesBeforeAndSaysSo)
{
    if (!sim::EnvText(L"TEST_FILE_LIMIT")) GTEST_SKIP() << "runs in pece_full_disk alone";
    ts::SimDevice device;
    ts::TempDir dir;
    std::string noise;  // three screens of it, which the GIF hardly compresses
    for (unsigned r = 1; noise.size() < 3 * 128 * 88;) noise += static_cast<char>((r = r * 1103515245 + 12345) >> 16 & 3);
    ts::WriteBytes(device / L"screen.bin", noise);
    const Ran ran = Runs(L"record " + ts::Quote(dir / L"full.gif") + L" --scale 2");
    EXPECT_EQ(ran.code, 5u);
    EXPECT_EQ(ran.err, Lines({L"録画を一時ファイルに書き込めなくなりました. それまでの録画を保存します."}));
    EXPECT_FALSE(ts::Decode(ts::ReadBytes(dir / L"full.gif")).frames.empty());
}

}  // namespace
