<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>MainWidget</name>
    <message>
        <source>选择您的游戏控制器</source>
        <translation>Select Your Controller</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Select</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Quorel Oradesk</source>
        <translation>Quorel Oradesk</translation>
    </message>
    <message>
        <source>使用 Quorel Oradesk 应用程序即表示您同意下面链接的最终用户许可协议。
请按控制器上的 X 以继续使用该应用程序。</source>
        <translation>By using the Quorel Oradesk app you agree to the End User License Agreement linked below.
Press X on your controller to continue.</translation>
    </message>
    <message>
        <source>下一步</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>测试/校准</source>
        <translation>Test / Calibrate</translation>
    </message>
    <message>
        <source>映射</source>
        <translation>Mapping</translation>
    </message>
    <message>
        <source>Turbo</source>
        <translation>Turbo</translation>
    </message>
    <message>
        <source>摇杆</source>
        <translation>Sticks</translation>
    </message>
    <message>
        <source>扳机</source>
        <translation>Triggers</translation>
    </message>
    <message>
        <source>震动</source>
        <translation>Vibration</translation>
    </message>
    <message>
        <source>Profile</source>
        <translation>Profile</translation>
    </message>
    <message>
        <source>灯光</source>
        <translation>Lighting</translation>
    </message>
    <message>
        <source>使用 Quorel Oradesk 应用程序即表示您同意下面链接的最终用户许可协议。</source>
        <translation>By using the Quorel Oradesk app you agree to the End User License Agreement linked below.</translation>
    </message>
    <message>
        <source>请按控制器上的 X 以继续使用该应用程序。</source>
        <translation>Press X on your controller to continue.</translation>
    </message>
    <message>
        <source>最终用户许可协议</source>
        <translation>End User License Agreement</translation>
    </message>
    <message>
        <source>开源软件声明</source>
        <translation>Open-Source Disclosure</translation>
    </message>
    <message>
        <source>选择模块</source>
        <translation>Select a Module</translation>
    </message>
    <message>
        <source>测试 / 校准</source>
        <translation>Test / Calibration</translation>
    </message>
    <message>
        <source>映射 - 背面编程键</source>
        <translation>Mapping - Back Buttons</translation>
    </message>
    <message>
        <source>Hold down the button to remap and then select the button to map to it.</source>
        <translation>Hold down the button to remap and then select the button to map to it.</translation>
    </message>
    <message>
        <source>Turbo 设置</source>
        <translation>Turbo Settings</translation>
    </message>
    <message>
        <source>Hold down the button to activate TURBO and then select On / OFF option.</source>
        <translation>Hold down the button to activate TURBO and then select On / OFF option.</translation>
    </message>
    <message>
        <source>摇杆设置</source>
        <translation>Stick Settings</translation>
    </message>
    <message>
        <source>Adjust the digital travel distance as well as inverting the X or Y-Axis of your sticks in this section.</source>
        <translation>Adjust the digital travel distance as well as inverting the X or Y-Axis of your sticks in this section.</translation>
    </message>
    <message>
        <source>扳机设置</source>
        <translation>Trigger Settings</translation>
    </message>
    <message>
        <source>Adjust the deadzone on your triggers. Either fully customize the start and stop or quick select T1, T2, or T3 based on your trigger stop position active on your controller.</source>
        <translation>Adjust the deadzone on your triggers. Either fully customize the start and stop or quick select T1, T2, or T3 based on your trigger stop position active on your controller.</translation>
    </message>
    <message>
        <source>震动强度</source>
        <translation>Vibration Strength</translation>
    </message>
    <message>
        <source>Adjust the vibration strength of each motor on the controller.</source>
        <translation>Adjust the vibration strength of each motor on the controller.</translation>
    </message>
    <message>
        <source>PROFILE</source>
        <translation>PROFILE</translation>
    </message>
    <message>
        <source>APP 升级</source>
        <translation>App Update</translation>
    </message>
    <message>
        <source>请阅读</source>
        <translation>Please Read</translation>
    </message>
    <message>
        <source>选择您的游戏控制器</source>
        <translation>Select Your Controller</translation>
    </message>
    <message>
        <source>恢复默认成功</source>
        <translation>Reset to defaults</translation>
    </message>
    <message>
        <source>Reset Successfully</source>
        <translation>Reset Successfully</translation>
    </message>
    <message>
        <source>保存成功</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>Save Successfully</source>
        <translation>Save Successfully</translation>
    </message>
    <message>
        <source>设备移除</source>
        <translation>Device removed</translation>
    </message>
</context>
<context>
    <name>ModuleSelection</name>
    <message>
        <source>测试/校准</source>
        <translation>Test / Calibrate</translation>
    </message>
    <message>
        <source>映射</source>
        <translation>Mapping</translation>
    </message>
    <message>
        <source>Turbo</source>
        <translation>Turbo</translation>
    </message>
    <message>
        <source>摇杆</source>
        <translation>Sticks</translation>
    </message>
    <message>
        <source>扳机</source>
        <translation>Triggers</translation>
    </message>
    <message>
        <source>震动</source>
        <translation>Vibration</translation>
    </message>
    <message>
        <source>Profiles</source>
        <translation>Profiles</translation>
    </message>
    <message>
        <source>灯光</source>
        <translation>Lighting</translation>
    </message>
    <message>
        <source>选择</source>
        <translation>Select</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
</context>
</TS>
