<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>padscope::AboutBox</name>
    <message>
        <source>バージョン情報</source>
        <translation>About Padscope</translation>
    </message>
    <message>
        <source>プロダクト名 Padscope</source>
        <translation>Product name: Padscope</translation>
    </message>
    <message>
        <source>バージョン番号 1.1</source>
        <translation>Version: 1.1</translation>
    </message>
    <message>
        <source>著作権表記 パッドスコープ・プロジェクト</source>
        <translation>Copyright: Padscope Project</translation>
    </message>
    <message>
        <source>Padscope の使い方</source>
        <translation>Padscope manual</translation>
    </message>
</context>
<context>
    <name>padscope::AudioFailureMessage</name>
    <message>
        <source>JACK サーバーに参加できません（ほかのユーザーのサーバーかもしれません）</source>
        <translation>The JACK server does not let it join (the server may be another user&apos;s)</translation>
    </message>
    <message>
        <source>JACK サーバーが応答しません</source>
        <translation>The JACK server does not answer</translation>
    </message>
    <message>
        <source>%1 サーバーに接続できません</source>
        <translation>The %1 server cannot be reached</translation>
    </message>
    <message>
        <source>%1 サーバーが終了しました</source>
        <translation>The %1 server has gone away</translation>
    </message>
    <message>
        <source>オーディオデバイスを開けません</source>
        <translation>No audio device can be opened</translation>
    </message>
    <message>
        <source>内蔵シンセの音を出せません</source>
        <translation>The built-in synth cannot play</translation>
    </message>
    <message>
        <source>パッドを押すと、もう一度試します</source>
        <translation>Pressing a pad tries again</translation>
    </message>
</context>
<context>
    <name>padscope::ControllerPage</name>
    <message>
        <source>ベロシティー=</source>
        <translation>Velocity=</translation>
    </message>
    <message>
        <source>リバーブ=</source>
        <translation>Reverb=</translation>
    </message>
    <message>
        <source>コーラス=</source>
        <translation>Chorus=</translation>
    </message>
    <message>
        <source>ディレイ=</source>
        <translation>Delay=</translation>
    </message>
    <message>
        <source>ピッチベント=</source>
        <translation>Bend=</translation>
    </message>
    <message>
        <source>ピッチベンドセンシティビティー=</source>
        <translation>Bend range=</translation>
    </message>
    <message>
        <source>モジュレーション=</source>
        <translation>Modulation=</translation>
    </message>
    <message>
        <source>カットオフ=</source>
        <translation>Cutoff=</translation>
    </message>
    <message>
        <source>レゾナンス=</source>
        <translation>Reso=</translation>
    </message>
    <message>
        <source>アタックタイム=</source>
        <translation>Attack=</translation>
    </message>
    <message>
        <source>ディケイタイム=</source>
        <translation>Decay=</translation>
    </message>
    <message>
        <source>リリースタイム=</source>
        <translation>Release=</translation>
    </message>
    <message>
        <source>ビブラートレイト=</source>
        <translation>Vibrato rate=</translation>
    </message>
    <message>
        <source>ビブラートデプス=</source>
        <translation>Vibrato depth=</translation>
    </message>
    <message>
        <source>ビブラートディレイ=</source>
        <translation>Vibrato delay=</translation>
    </message>
    <message>
        <source>TG-300B(XG音源)</source>
        <translation>TG-300B(XG)</translation>
    </message>
    <message>
        <source>マップ切り替え</source>
        <translation>Drum map</translation>
    </message>
    <message>
        <source>デフォルトに戻す</source>
        <translation>Reset to default</translation>
    </message>
</context>
<context>
    <name>padscope::DrumSoundPage</name>
    <message>
        <source>ノート=</source>
        <translation>Note=</translation>
    </message>
    <message>
        <source>ピッチ=</source>
        <translation>Pitch=</translation>
    </message>
    <message>
        <source>レベル=</source>
        <translation>Level=</translation>
    </message>
    <message>
        <source>パン=</source>
        <translation>Pan=</translation>
    </message>
    <message>
        <source>リバーブ=</source>
        <translation>Reverb=</translation>
    </message>
    <message>
        <source>コーラス=</source>
        <translation>Chorus=</translation>
    </message>
    <message>
        <source>ディレイ=</source>
        <translation>Delay=</translation>
    </message>
    <message>
        <source>バリエーション=</source>
        <translation>Variation=</translation>
    </message>
    <message>
        <source>クリックで「変更なし」に戻す（Delete キーでも）</source>
        <translation>Click to set it back to unchanged (or press Delete)</translation>
    </message>
    <message>
        <source>この音を元に戻す</source>
        <translation>Reset this note</translation>
    </message>
    <message>
        <source>キットを元に戻す</source>
        <translation>Reset the kit</translation>
    </message>
    <message>
        <source>MIDIファイルに保存…</source>
        <translation>Save as MIDI file…</translation>
    </message>
    <message>
        <source>MIDIイベントとしてコピー</source>
        <translation>Copy as MIDI events</translation>
    </message>
    <message>
        <source>動かした値だけを送ります。
「変更なし」の値は音源のままです。</source>
        <translation>Only the values you move are sent.
An unchanged one stays as the module has it.</translation>
    </message>
    <message>
        <source>内蔵シンセにはディレイ効果がありません。音源にだけ効きます</source>
        <translation>The built-in synth has no delay effect; only a sound module hears this</translation>
    </message>
    <message>
        <source>変更なし</source>
        <translation>unchanged</translation>
    </message>
    <message>
        <source>ランダム</source>
        <translation>random</translation>
    </message>
    <message>
        <source>MIDIファイルに保存</source>
        <translation>Save as MIDI file</translation>
    </message>
    <message>
        <source>MIDIファイル (*.mid)</source>
        <translation>MIDI files (*.mid)</translation>
    </message>
    <message>
        <source>MIDIファイルを書けません: %1</source>
        <translation>The MIDI file cannot be written: %1</translation>
    </message>
</context>
<context>
    <name>padscope::FindDialog</name>
    <message>
        <source>探す</source>
        <translation>Find</translation>
    </message>
    <message>
        <source>ドラム音の名前</source>
        <translation>Drum sound name</translation>
    </message>
    <message>
        <source>名前</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>キット</source>
        <translation>Kit</translation>
    </message>
    <message>
        <source>マップ</source>
        <translation>Map</translation>
    </message>
    <message>
        <source>ノート</source>
        <translation>Note</translation>
    </message>
</context>
<context>
    <name>padscope::MainWindow</name>
    <message>
        <source>楽器</source>
        <translation>Instruments</translation>
    </message>
    <message>
        <source>エフェクト</source>
        <translation>Effects</translation>
    </message>
    <message>
        <source>ドラム音</source>
        <translation>Drum sound</translation>
    </message>
    <message>
        <source>音源名</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>マップ=</source>
        <translation>Map=</translation>
    </message>
    <message>
        <source>プログラムナンバー＝</source>
        <translation>Program number=</translation>
    </message>
    <message>
        <source>音名＝</source>
        <translation>Sound=</translation>
    </message>
    <message>
        <source>区切り線</source>
        <translation>Separator</translation>
    </message>
    <message>
        <source>ページ</source>
        <translation>Pages</translation>
    </message>
</context>
<context>
    <name>padscope::ManualWindow</name>
    <message>
        <source>Padscope の使い方</source>
        <translation>Padscope manual</translation>
    </message>
</context>
<context>
    <name>padscope::Messages</name>
    <message>
        <source>ＭＩＤＩ音源がないのでこのソフトは利用できません</source>
        <translation>No MIDI sound module was found, so this program cannot be used</translation>
    </message>
    <message>
        <source>ＭＩＤＩデバイスが開けません</source>
        <translation>Cannot open the MIDI device</translation>
    </message>
    <message>
        <source>設定ファイルを保存できません</source>
        <translation>Cannot save the settings file</translation>
    </message>
    <message>
        <source>HOME が設定されていないため、ユーザーの設定フォルダがありません</source>
        <translation>HOME is not set, so there is no user settings folder</translation>
    </message>
    <message>
        <source>ＭＩＤＩ入力が見つかりません。「なし」にしました</source>
        <translation>The MIDI input was not found; it is set to None</translation>
    </message>
    <message>
        <source>ＭＩＤＩメッセージが長すぎるため送れません</source>
        <translation>The MIDI message is too long to be sent</translation>
    </message>
    <message>
        <source>SoundFont ファイルが見つかりません</source>
        <translation>The SoundFont file was not found</translation>
    </message>
    <message>
        <source>SoundFont ファイルではなくフォルダです</source>
        <translation>This is a folder, not a SoundFont file</translation>
    </message>
    <message>
        <source>SoundFont ファイルではなく特殊ファイルです</source>
        <translation>This is a special file (a pipe or a device), not a SoundFont file</translation>
    </message>
    <message>
        <source>SoundFont ファイルを読む権限がありません</source>
        <translation>No permission to read the SoundFont file</translation>
    </message>
    <message>
        <source>SoundFont ファイルが空です</source>
        <translation>The SoundFont file is empty</translation>
    </message>
    <message>
        <source>SoundFont ファイルが途中で切れています</source>
        <translation>The SoundFont file is cut short</translation>
    </message>
    <message>
        <source>SoundFont ファイルとして読めません</source>
        <translation>The file cannot be read as a SoundFont</translation>
    </message>
    <message>
        <source>内蔵シンセは前の SoundFont のまま鳴ります</source>
        <translation>The built-in synth keeps playing its previous SoundFont</translation>
    </message>
</context>
<context>
    <name>padscope::PadButton</name>
    <message>
        <source>%1 %2、ノートナンバー %3</source>
        <translation>%1 %2, note %3</translation>
    </message>
</context>
<context>
    <name>padscope::PadPage</name>
    <message>
        <source>音源の変更</source>
        <translation>Change port</translation>
    </message>
</context>
<context>
    <name>padscope::PortMenu</name>
    <message>
        <source>探す…</source>
        <translation>Find…</translation>
    </message>
    <message>
        <source>入力</source>
        <translation>Input</translation>
    </message>
    <message>
        <source>なし</source>
        <translation>None</translation>
    </message>
    <message>
        <source>SoundFont…</source>
        <translation>SoundFont…</translation>
    </message>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>言語 (Language)</source>
        <translation>Language</translation>
    </message>
</context>
<context>
    <name>padscope::SynthFontChoice</name>
    <message>
        <source>SoundFont を選ぶ</source>
        <translation>Choose a SoundFont</translation>
    </message>
    <message>
        <source>SoundFont (*.sf2 *.sf3 *.SF2 *.SF3)</source>
        <translation>SoundFont (*.sf2 *.sf3 *.SF2 *.SF3)</translation>
    </message>
    <message>
        <source>すべてのファイル (*)</source>
        <translation>All files (*)</translation>
    </message>
    <message>
        <source>内蔵シンセ: このキットの音色はありません</source>
        <translation>Built-in synth: no preset for this kit</translation>
    </message>
    <message>
        <source>内蔵シンセ: このキット自身の音色 %1</source>
        <translation>Built-in synth: its own preset %1</translation>
    </message>
    <message>
        <source>内蔵シンセ: %1 で代用</source>
        <translation>Built-in synth: %1 stands in</translation>
    </message>
</context>
</TS>
