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
    <message>
        <source>设备信息</source>
        <translation>Device Info</translation>
    </message>
    <message>
        <source>未检测到游戏控制器</source>
        <translation>No controller detected</translation>
    </message>
    <message>
        <source>正在升级，请勿断开设备</source>
        <translation>Updating, please do not disconnect the device</translation>
    </message>
    <message>
        <source>当前版本: </source>
        <translation>Current APP Version: </translation>
    </message>
    <message>
        <source>Current APP Version: </source>
        <translation>Current APP Version: </translation>
    </message>
    <message>
        <source>联系我们</source>
        <translation>Contact Us</translation>
    </message>
    <message>
        <source>Contact Us</source>
        <translation>Contact Us</translation>
    </message>
    <message>
        <source>开源声明</source>
        <translation>Open-Source Disclosure</translation>
    </message>
    <message>
        <source>Support</source>
        <translation>Support</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>升级</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>升级失败</source>
        <translation>Update Failed</translation>
    </message>
    <message>
        <source>升级成功</source>
        <translation>Update Successful</translation>
    </message>
    <message>
        <source>下一步</source>
        <translation>Continue</translation>
    </message>
    <message>
        <source>   新固件可用</source>
        <translation>   New Firmware Available</translation>
    </message>
    <message>
        <source>Firmware </source>
        <translation>Firmware </translation>
    </message>
    <message>
        <source> is Available</source>
        <translation> is Available</translation>
    </message>
    <message>
        <source>请将手柄切换至</source>
        <translation>Switch the controller to </translation>
    </message>
    <message>
        <source>2.4G</source>
        <translation>2.4G</translation>
    </message>
    <message>
        <source>模式&lt;br&gt;并连接</source>
        <translation> mode&lt;br&gt;and connect the</translation>
    </message>
    <message>
        <source> 无线接收器 </source>
        <translation> wireless receiver </translation>
    </message>
    <message>
        <source>至 PC 查看最新版本</source>
        <translation>to the PC for the latest version</translation>
    </message>
    <message>
        <source> USB </source>
        <translation> USB </translation>
    </message>
    <message>
        <source>模式&lt;br&gt;连接至 PC 查看最新版本</source>
        <translation> mode&lt;br&gt;and connect it to the PC for the latest version</translation>
    </message>
    <message>
        <source>有设备正在升级模式中等待，但未记录其型号。&lt;br&gt;请选择该设备的型号：</source>
        <translation>A device is waiting in update mode, but its model is not known.&lt;br&gt;Choose its model:</translation>
    </message>
    <message>
        <source>2.4G 接收器</source>
        <translation>2.4G dongle</translation>
    </message>
    <message>
        <source>USB 有线</source>
        <translation>USB wired</translation>
    </message>
    <message>
        <source>无法与设备通信，未切换至升级模式。请重新连接设备后重试。</source>
        <translation>The controller cannot be reached, so it was not switched to update mode. Reconnect it and try again.</translation>
    </message>
    <message>
        <source>当前用户无法打开升级模式下的设备，因此未切换设备。请先运行 scripts/oradesk.sh udev-rule 安装设备规则，然后重新插拔设备并重试。</source>
        <translation>This user could not open the controller in update mode, so it was not switched. Install the device rule with scripts/oradesk.sh udev-rule, plug the controller in again and retry.</translation>
    </message>
    <message>
        <source>有多个设备处于升级模式。请只保留一个设备连接，然后重试。</source>
        <translation>More than one device is waiting in update mode. Unplug all but one, then try again.</translation>
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
        <translation>Test</translation>
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
<context>
    <name>UpdateAPP</name>
    <message>
        <source>退出</source>
        <translation>Quit</translation>
    </message>
    <message>
        <source>跳过</source>
        <translation>Skip</translation>
    </message>
    <message>
        <source>下载新版本</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>当前APP版本号: </source>
        <translation> Current APP version: </translation>
    </message>
    <message>
        <source>最新APP版本号: </source>
        <translation>The latest APP version: </translation>
    </message>
    <message>
        <source>需要升级 Quorel Oradesk 应用程序，才能使用最新的控制器功能和应用程序功能。</source>
        <translation>Update the Quorel Oradesk app to use the latest controller and app features.</translation>
    </message>
    <message>
        <source>如果暂时不想升级，请按 %1 按钮跳过升级，进入控制器按键测试。</source>
        <translation>If you do not want to update now, press the %1 button to skip and go on to the controller button test.</translation>
    </message>
    <message>
        <source>升级只需三步：</source>
        <translation>Updating takes three steps:</translation>
    </message>
    <message>
        <source>1. 按 %1 按钮打开浏览器，下载最新的 Quorel Oradesk 应用程序；</source>
        <translation>1. Press the %1 button to open your browser and download the latest Quorel Oradesk app.</translation>
    </message>
    <message>
        <source>2. 运行下载的安装包，完成安装；</source>
        <translation>2. Run the downloaded installer package to install it.</translation>
    </message>
    <message>
        <source>3. 运行 Quorel Oradesk 应用程序。</source>
        <translation>3. Start the Quorel Oradesk app.</translation>
    </message>
</context>
<context>
    <name>StickPage</name>
    <message>
        <source>左摇杆</source>
        <translation>Left Stick</translation>
    </message>
    <message>
        <source>右摇杆</source>
        <translation>Right Stick</translation>
    </message>
    <message>
        <source>    反向 X-轴</source>
        <translation>    Invert X-Axis</translation>
    </message>
    <message>
        <source>    反向 Y-轴</source>
        <translation>    Invert Y-Axis</translation>
    </message>
    <message>
        <source>死区</source>
        <translation>Dead Zone</translation>
    </message>
    <message>
        <source>曲线</source>
        <translation>Curve</translation>
    </message>
    <message>
        <source>     左右保持同步</source>
        <translation>     Sync Both Sticks</translation>
    </message>
    <message>
        <source>长按复位</source>
        <translation>Hold to Reset</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>线性</source>
        <translation>Linear</translation>
    </message>
    <message>
        <source>精准</source>
        <translation>Precise</translation>
    </message>
    <message>
        <source>激进</source>
        <translation>Aggressive</translation>
    </message>
    <message>
        <source>动态</source>
        <translation>Dynamic</translation>
    </message>
</context>
<context>
    <name>ProgressBar</name>
    <message>
        <source>内死区: %1%</source>
        <translation>Inner: %1%</translation>
    </message>
    <message>
        <source>外死区: %1%</source>
        <translation>Outer: %1%</translation>
    </message>
</context>
<context>
    <name>ProfilePage</name>
    <message>
        <source>设置</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>长按复位</source>
        <translation>Hold to Reset</translation>
    </message>
    <message>
        <source>添加 Profile</source>
        <translation>Add Profile</translation>
    </message>
</context>
<context>
    <name>ProfileButton</name>
    <message>
        <source>删除此Profile?</source>
        <translation>Delete this profile?</translation>
    </message>
</context>
<context>
    <name>MappingPage</name>
    <message>
        <source>长按复位</source>
        <translation>Hold to Reset</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>TureboPage</name>
    <message>
        <source>按钮</source>
        <translation>Button</translation>
    </message>
    <message>
        <source>Turbo开关</source>
        <translation>Turbo</translation>
    </message>
    <message>
        <source>长按复位</source>
        <translation>Hold to Reset</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>TriggerPage</name>
    <message>
        <source>右扳机</source>
        <translation>Right Trigger</translation>
    </message>
    <message>
        <source>左扳机</source>
        <translation>Left Trigger</translation>
    </message>
    <message>
        <source>     左右保持同步</source>
        <translation>     Sync Both Triggers</translation>
    </message>
    <message>
        <source>长按复位</source>
        <translation>Hold to Reset</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>VibratePage</name>
    <message>
        <source>左马达</source>
        <translation>Left Motor</translation>
    </message>
    <message>
        <source>左扳机马达</source>
        <translation>Left Trigger Motor</translation>
    </message>
    <message>
        <source>右扳机马达</source>
        <translation>Right Trigger Motor</translation>
    </message>
    <message>
        <source>右马达</source>
        <translation>Right Motor</translation>
    </message>
    <message>
        <source>左马达测试</source>
        <translation>Left Motor Test</translation>
    </message>
    <message>
        <source>右马达测试</source>
        <translation>Right Motor Test</translation>
    </message>
    <message>
        <source>     左右保持同步</source>
        <translation>     Sync Both Motors</translation>
    </message>
    <message>
        <source>长按复位</source>
        <translation>Hold to Reset</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>LightPage</name>
    <message>
        <source>区域 1</source>
        <translation>Zone 1</translation>
    </message>
    <message>
        <source>区域 2</source>
        <translation>Zone 2</translation>
    </message>
    <message>
        <source>区域 3</source>
        <translation>Zone 3</translation>
    </message>
    <message>
        <source>区域 4</source>
        <translation>Zone 4</translation>
    </message>
    <message>
        <source>颜色</source>
        <translation>Color</translation>
    </message>
    <message>
        <source>亮度</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>色彩循环</source>
        <translation>Color Cycle</translation>
    </message>
    <message>
        <source>呼吸</source>
        <translation>Breathing</translation>
    </message>
    <message>
        <source>静态</source>
        <translation>Static</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>慢</source>
        <translation>Slow</translation>
    </message>
    <message>
        <source>中</source>
        <translation>Medium</translation>
    </message>
    <message>
        <source>快</source>
        <translation>Fast</translation>
    </message>
    <message>
        <source>长按复位</source>
        <translation>Hold to Reset</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
</context>
<context>
    <name>TestPage</name>
    <message>
        <source>左摇杆</source>
        <translation>Left Stick</translation>
    </message>
    <message>
        <source>右摇杆</source>
        <translation>Right Stick</translation>
    </message>
    <message>
        <source>马达测试</source>
        <translation>Motor test</translation>
    </message>
    <message>
        <source>死区设置</source>
        <translation>Dead zone</translation>
    </message>
    <message>
        <source>已退出测试，请用方向键选择其他页面</source>
        <translation>Test ended: use the D-pad to choose another page</translation>
    </message>
    <message>
        <source>重新校准</source>
        <translation>Recalibrate</translation>
    </message>
    <message>
        <source>保持长按3秒</source>
        <translation>Hold for 3 seconds</translation>
    </message>
    <message>
        <source>长按退出</source>
        <translation>Hold to Exit</translation>
    </message>
</context>
<context>
    <name>CalibrationPage</name>
    <message>
        <source>控制器校准</source>
        <translation>Controller Calibration</translation>
    </message>
    <message>
        <source>按照下面的步骤完成摇杆和扳机的校准</source>
        <translation>Follow the steps below to calibrate the sticks and triggers</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>开始校准</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>完成校准</source>
        <translation>Finish</translation>
    </message>
</context>
</TS>
